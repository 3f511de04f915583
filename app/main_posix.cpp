// The native program: switches run console mode exactly as on Windows; the dialog needs Windows.
#include "app_state.h"
#include "cmdline.h"
#include "console.h"
#include "program_device.h"
#include "startup.h"

#include <string>
#include <vector>

int main(int argc, char** argv) {
    AttachDeviceLog();
    if (argc < 2) {
        g_app.consoleMode = 1;
        PrintBanner();
        ConsoleWrite("The dialog needs Windows; give switches to run console mode.\n\n");
        PrintUsage();
        return 1;
    }
    // The shell has already split the line: each argument is one token exactly as given.
    return RunConsoleMode(std::vector<std::string>(argv + 1, argv + argc));
}
