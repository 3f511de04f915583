#include "startup.h"

#include "app_state.h"
#include "cmdline.h"
#include "console.h"
#include "corvane.h"
#include "device_state.h"
#include "executor.h"
#include "list_emulators.h"
#include "monitor.h"
#include "monitor_stop.h"
#include "port_line.h"
#include "program_device.h"
#include "unopened_ports.h"
#include "version.h"

#include <cstdio>

void PrintBanner() {
    char line[kVersionTextSize + 16];
    ConsoleWrite("-------------------------------\n");
    std::snprintf(line, sizeof line, "Tevrix v%s\n", ProgramVersionText());
    ConsoleWrite(line);
    ConsoleWrite(TEVRIX_MAKER_NOTICE "\n");
    ConsoleWrite("-------------------------------\n");
}

namespace {

// A console monitor runs until the user stops the program; the port is then put back at once,
// before anything else can end the process.
int RunConsoleOperation(OperationInput* input, bool* stopped) {
    if (g_params.operation != OP_MONITOR) {
        return RunOperation(&g_device, &g_params, input, kProgramMonitorReports);
    }
    ConsoleStop stop(&g_params);
    const int result = RunOperation(&g_device, &g_params, input, kProgramMonitorReports);
    *stopped = stop.Requested();
    if (*stopped) {
        ClosePort(&g_device);
        stop.Done();
    }
    return result;
}

} // namespace

int RunConsoleMode(const std::vector<std::string>& arguments) {
    g_app.consoleMode = 1;
    OpenConsole();
    PrintBanner();

    int result = 0;
    bool stopped = false;
    const bool parsed = ParseArguments(arguments) && !g_consoleOptions.usageShown;
    // The file comes first: a bad or missing one is reported whether an emulator is attached or
    // not, and costs no search.
    OperationInput input;
    if (parsed && g_consoleOptions.list) {
        PrintStatus(1, "Searching for emulator...");
        result = ListEmulators(&g_device);
    } else if (parsed && PrepareOperation(&g_params, &input)) {
        PrintStatus(1, "Searching for emulator...");
        char name[200] = {};
        std::uint8_t firmware[3] = {};
        std::uint32_t caps = FindHardware(&g_device, name, firmware);

        char found[255];
        std::snprintf(found, sizeof found, "FOUND: %s", name);
        if (caps == 0) {
            PrintStatus(1, "Did not find hardware. Aborting...");
            PrintUnopenedPorts(&g_device);
        } else if (caps & CAPS_EMULATION) {
            SetVendorID(&g_device, 3);
            PrintFound(&g_device, name);
            NoteLargeBank(&g_device, &g_params);
            g_params.keepRunning = 1;
            result = RunConsoleOperation(&input, &stopped);
        } else {
            PrintStatus(1, "%s", found);
            PrintPortLine(&g_device);
            PrintStatus(1, "This hardware does not support emulation. Aborting...");
        }
    }

    // A user who stopped the program has already said that it is to end.
    if (!g_consoleOptions.noQuitPrompt && !stopped) {
        ConsoleWrite("\n\nPress enter to quit...");
        ConsoleReadChar();
    }
    // Messages put their line break first; without this the shell's prompt would follow the
    // quit prompt on its line (after a message, whose line is already ended, it is not written).
    ConsoleWrite("\n");
    return result ? 0 : 1;
}
