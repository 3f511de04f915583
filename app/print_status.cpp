#include "app_state.h"
#include "console.h"

#include <cstdarg>
#include <cstdio>
#include <string>

AppState g_app;

void PrintStatus(std::uint32_t breaks, const char* format, ...) {
    char text[kStatusMax + 1];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    text[kStatusMax] = '\0';

    if (g_app.consoleMode) {
        ConsoleWrite(std::string(breaks, '\n') + text);
    } else if (g_app.logWindow != nullptr) {
        AppendEditText(g_app.logWindow, text, static_cast<std::int32_t>(breaks));
    }
}
