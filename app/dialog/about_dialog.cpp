#include "main_dialog.h"
#include "resource_ids.h"
#include "version.h"
#include "window_geometry.h"

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(dialog, IDC_ABOUT_VERSION, ProgramVersionText());
        if (HWND owner = GetWindow(dialog, GW_OWNER); owner != nullptr) {
            CenterWindowOver(dialog, owner);
        }
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}
