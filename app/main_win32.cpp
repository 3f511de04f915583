#include "app_state.h"
#include "monitor.h"
#include "startup.h"
#include "version.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    InstallMonitorCallbacks();
    char modulePath[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, modulePath, sizeof modulePath);
    GetModuleVersionString(modulePath, g_app.versionText);

    if (commandLine == nullptr || commandLine[0] == '\0') {
        g_app.instance = instance;
        MessageBoxA(nullptr, "The dialog is not available in this build; give switches to run console mode.",
                    "Tevrix", MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    return RunConsoleMode(commandLine);
}
