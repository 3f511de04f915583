#pragma once
#include <cstdint>

// The optional window every transfer drives with the standard progress-bar messages.
// On Windows it is the control's window; elsewhere a receiver of the same
// (message, wParam, lParam) triples.
#ifdef _WIN32
#include <windows.h>

#include <commctrl.h>
using ProgressWindow = HWND;
#else
struct ProgressReceiver {
    virtual ~ProgressReceiver() = default;
    virtual std::intptr_t Receive(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};
using ProgressWindow = ProgressReceiver*;

constexpr std::uint32_t PBM_SETRANGE = 0x0401;
constexpr std::uint32_t PBM_SETPOS = 0x0402;
constexpr std::uint32_t PBM_SETSTEP = 0x0404;
constexpr std::uint32_t PBM_STEPIT = 0x0405;
#endif

// Sends one message to the progress window, synchronously; nothing for a null window.
void SendProgress(ProgressWindow window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

// The start of a transfer phase: range 0 to `units` (cut to 16 bits), step 1, position 0.
void StartProgress(ProgressWindow window, std::uint32_t units);
