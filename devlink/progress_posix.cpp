#include "progress_window.h"

void SendProgress(ProgressWindow window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (window != nullptr) {
        window->Receive(message, wParam, lParam);
    }
}
