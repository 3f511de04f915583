#pragma once
#include <cstdint>

// The optional window every transfer drives with (message, wParam, lParam) triples numbered as
// the standard progress-bar control numbers them: on Windows the control's window itself,
// elsewhere a receiver of the same triples. The window handle is declared here without the
// platform's headers, which only the files that call the platform include.
#ifdef _WIN32
struct HWND__;
using ProgressWindow = HWND__*;
#else
struct ProgressReceiver {
    virtual ~ProgressReceiver() = default;
    virtual std::intptr_t Receive(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};
using ProgressWindow = ProgressReceiver*;
#endif

// The messages of the protocol: lParam's high 16 bits the top of the range; wParam the step;
// the position (always 0 here); one step.
constexpr std::uint32_t kProgressSetRange = 0x0401;
constexpr std::uint32_t kProgressSetPos = 0x0402;
constexpr std::uint32_t kProgressSetStep = 0x0404;
constexpr std::uint32_t kProgressStepIt = 0x0405;

// Sends one message to the progress window, synchronously; nothing for a null window.
void SendProgress(ProgressWindow window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

// The start of a transfer phase: range 0 to `units` (cut to 16 bits), step 1, position 0.
void StartProgress(ProgressWindow window, std::uint32_t units);
