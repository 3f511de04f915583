#include "cmdline.h"
#include "main_dialog.h"
#include "program_device.h"
#include "startup.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    AttachDeviceLog();

    if (commandLine == nullptr || commandLine[0] == '\0') {
        return RunDialogMode(instance);
    }
    return RunConsoleMode(SplitCommandLine(commandLine));
}
