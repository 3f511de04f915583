#pragma once
#include <cstdint>

// The optional window every transfer drives with the standard progress-bar messages.
// On Windows it is the control's window; elsewhere a receiver of the same
// (message, wParam, lParam) triples.
#ifdef _WIN32
#include <windows.h>
using ProgressWindow = HWND;
#else
struct ProgressReceiver {
    virtual ~ProgressReceiver() = default;
    virtual std::intptr_t Receive(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};
using ProgressWindow = ProgressReceiver*;
#endif
