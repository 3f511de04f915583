#include "kv_controls.h"
#include "main_dialog.h"
#include "resource_ids.h"

int RunDialogMode(HINSTANCE instance) {
    RegisterControlClasses(instance);
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    WaitForSearchToEnd();
    return 0;
}
