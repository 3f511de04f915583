#include "progress_window.h"

void SendProgress(ProgressWindow window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (window == nullptr) {
        return;
    }
#ifdef _WIN32
    SendMessageA(window, message, wParam, lParam);
#else
    window->Receive(message, wParam, lParam);
#endif
}

void StartProgress(ProgressWindow window, std::uint32_t units) {
    SendProgress(window, PBM_SETRANGE, 0, static_cast<std::intptr_t>((units & 0xFFFF) << 16));
    SendProgress(window, PBM_SETSTEP, 1, 0);
    SendProgress(window, PBM_SETPOS, 0, 0);
}
