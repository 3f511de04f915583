#include "app_state.h"
#include "cmdline.h"
#include "corvane.h"
#include "device_state.h"
#include "executor.h"
#include "main_dialog.h"
#include "monitor.h"
#include "program_device.h"

DWORD WINAPI DetectHardwareThread(LPVOID) {
    DetectionResult result{};
    result.capabilities = FindHardware(&g_device, result.name, result.firmwareVersion);
    SendMessageA(g_app.mainDialog, WM_HARDWARE_DETECTED, 0, reinterpret_cast<LPARAM>(&result));
    return 0;
}

DWORD WINAPI OperationThread(LPVOID) {
    // Banks as the device holds them now: it may have been restarted since it was found.
    RefreshBanks(&g_device);
    int result = 0;
    if (LeaveLargeBankUnlessAsked(&g_device, &g_params)) {
        result = ExecuteOperation(&g_device, &g_params, kProgramMonitorReports);
    }
    const bool lost = result == 0 && !DeviceAnswers(&g_device);
    SendMessageA(g_app.mainDialog, WM_OPERATION_ENDED, static_cast<WPARAM>(result), lost ? 1 : 0);
    return 0;
}
