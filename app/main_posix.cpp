// The native program: switches run console mode exactly as on Windows; the dialog needs Windows.
#include "app_state.h"
#include "cmdline.h"
#include "console.h"
#include "monitor.h"
#include "startup.h"
#include "version.h"

#include <string>

namespace {

bool IsBlank(const std::string& text) {
    return text.find_first_not_of(" \t\n\v\f\r") == std::string::npos;
}

// Rebuilds the one command-line text the parser reads: an argument that holds blanks beside
// other characters (a path the shell unquoted) is put back in double quotes.
std::string JoinArguments(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (i > 1) {
            line += ' ';
        }
        bool quote = arg.empty() || (!IsBlank(arg) && arg.find_first_of(" \t") != std::string::npos);
        line += quote ? "\"" + arg + "\"" : arg;
    }
    return line;
}

} // namespace

int main(int argc, char** argv) {
    InstallMonitorCallbacks();
    GetModuleVersionString(argv[0], g_app.versionText);
    if (argc < 2) {
        g_app.consoleMode = 1;
        PrintBanner();
        ConsoleWrite("The dialog needs Windows; give switches to run console mode.\n\n");
        PrintUsage();
        return 1;
    }
    return RunConsoleMode(JoinArguments(argc, argv).c_str());
}
