#include "startup.h"

#include "app_state.h"
#include "cmdline.h"
#include "console.h"
#include "corvane.h"
#include "device_state.h"
#include "executor.h"
#include "unopened_ports.h"
#include "version.h"

#include <cstdio>

void PrintBanner() {
    char line[kVersionTextSize + 16];
    ConsoleWrite("-------------------------------\n");
    std::snprintf(line, sizeof line, "Tevrix v%s\n", g_app.versionText);
    ConsoleWrite(line);
    ConsoleWrite(TEVRIX_MAKER_NOTICE "\n");
    ConsoleWrite("-------------------------------\n");
}

int RunConsoleMode(const std::vector<std::string>& arguments) {
    g_app.consoleMode = 1;
    OpenConsole();
    PrintBanner();

    int result = 0;
    // The file comes first: a bad or missing one is reported whether an emulator is attached or
    // not, and costs no search.
    OperationInput input;
    if (ParseArguments(arguments) && !g_consoleOptions.usageShown && PrepareOperation(&g_params, &input)) {
        PrintStatus(1, "Searching for emulator...");
        char name[200] = {};
        std::uint8_t firmware[3] = {};
        std::uint32_t caps = FindHardware(&g_device, name, firmware);

        char found[255];
        std::snprintf(found, sizeof found, "FOUND: %s", name);
        if (caps == 0) {
            PrintStatus(1, "Did not find hardware. Aborting...");
            PrintUnopenedPorts();
        } else if (caps & CAPS_EMULATION) {
            SetVendorID(&g_device, 3);
            PrintStatus(2, "%s", found);
            NoteLargeBank(&g_device, &g_params);
            g_params.keepRunning = 1;
            result = RunOperation(&g_params, &input);
        } else {
            PrintStatus(1, "%s", found);
            PrintStatus(1, "This hardware does not support emulation. Aborting...");
        }
    }

    if (!g_consoleOptions.noQuitPrompt) {
        ConsoleWrite("\n\nPress enter to quit...");
        ConsoleReadChar();
    }
    // Messages put their line break first; without this the shell's prompt would follow the
    // last one on the same line.
    ConsoleWrite("\n");
    return result ? 0 : 1;
}
