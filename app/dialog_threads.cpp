#include "app_state.h"
#include "cmdline.h"
#include "corvane.h"
#include "executor.h"
#include "main_dialog.h"

DWORD WINAPI DetectHardwareThread(LPVOID) {
    DetectionResult result{};
    result.capabilities = FindHardware(&g_device, result.name, result.firmwareVersion);
    SendMessageA(g_app.mainDialog, WM_HARDWARE_DETECTED, 0, reinterpret_cast<LPARAM>(&result));
    return 0;
}

DWORD WINAPI OperationThread(LPVOID) {
    ExecuteOperation(&g_params);
    return 0;
}
