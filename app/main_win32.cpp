#include "app_state.h"
#include "cmdline.h"
#include "main_dialog.h"
#include "monitor.h"
#include "program_device.h"
#include "startup.h"
#include "version.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    AttachDeviceLog();
    InstallMonitorCallbacks();
    char modulePath[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, modulePath, sizeof modulePath);
    GetModuleVersionString(modulePath, g_app.versionText);

    if (commandLine == nullptr || commandLine[0] == '\0') {
        return RunDialogMode(instance);
    }
    return RunConsoleMode(SplitCommandLine(commandLine));
}
