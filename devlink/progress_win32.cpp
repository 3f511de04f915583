#include "progress_window.h"

#include <windows.h>

#include <commctrl.h>

static_assert(kProgressSetRange == PBM_SETRANGE && kProgressSetPos == PBM_SETPOS &&
                  kProgressSetStep == PBM_SETSTEP && kProgressStepIt == PBM_STEPIT,
              "the protocol is the progress-bar control's");

void SendProgress(ProgressWindow window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (window != nullptr) {
        SendMessageA(window, message, wParam, lParam);
    }
}
