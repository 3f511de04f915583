#include "status_window.h"

#include "app_state.h"

#ifdef _WIN32
#include "resource_ids.h"

#include <windows.h>

#include <commctrl.h>

static_assert(kWmSetText == WM_SETTEXT && kPbmSetBkColor == PBM_SETBKCOLOR &&
                  kPbmSetBarColor == PBM_SETBARCOLOR && kTpmSetTextColor == WM_USER + 300,
              "the text progress control's messages");
#endif

namespace {

void SendToProgress(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (g_app.progressWindow == nullptr) {
        return;
    }
#ifdef _WIN32
    SendMessageA(g_app.progressWindow, message, wParam, lParam);
#else
    g_app.progressWindow->Receive(message, wParam, lParam);
#endif
}

} // namespace

void SetProgressText(const char* text) {
    SendToProgress(kWmSetText, 0, reinterpret_cast<std::intptr_t>(text));
}

void SetProgressColours(std::uint32_t background, std::uint32_t bar) {
    SendToProgress(kPbmSetBkColor, 0, static_cast<std::intptr_t>(background));
    SendToProgress(kPbmSetBarColor, 0, static_cast<std::intptr_t>(bar));
    SendToProgress(kTpmSetTextColor, 0, static_cast<std::intptr_t>(kTwoColourText));
}

#ifdef _WIN32
void SetDialogTitle(const char* title) {
    if (g_app.mainDialog != nullptr) {
        SetWindowTextA(g_app.mainDialog, title);
    }
}

void EnableExecute() {
    if (g_app.mainDialog != nullptr) {
        EnableWindow(GetDlgItem(g_app.mainDialog, IDC_CANCEL_OP), FALSE);
        EnableWindow(GetDlgItem(g_app.mainDialog, IDC_EXECUTE), TRUE);
    }
}
#else
// There is no dialog outside Windows.
void SetDialogTitle(const char*) {}
void EnableExecute() {}
#endif
