#include "app_state.h"
#include "console.h"

#include <cstdarg>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

void PrintStatus(std::uint32_t breaks, const char* format, ...) {
    char text[kStatusMax + 1];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    text[kStatusMax] = '\0';

    if (g_app.consoleMode) {
        ConsoleMessage(breaks, text);
    } else if (g_app.logWindow != nullptr) {
#ifdef _WIN32
        // The append takes several edit messages; made as one message to the dialog, it runs whole
        // on the dialog's thread, so messages of the worker and of the dialog never interleave.
        if (g_app.mainDialog != nullptr) {
            SendMessageA(g_app.mainDialog, kWmAppendStatus, breaks, reinterpret_cast<LPARAM>(text));
            return;
        }
#endif
        AppendEditText(g_app.logWindow, text, static_cast<std::int32_t>(breaks));
    }
}
