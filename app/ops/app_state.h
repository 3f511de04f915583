#pragma once
#include "edit_text.h"
#include "progress_window.h"

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
using WindowHandle = HWND;
using InstanceHandle = HINSTANCE;
// PrintStatus sends this to the main dialog (wParam the line breaks, lParam the text), which
// appends the message to its log on its own thread.
constexpr UINT WM_APPEND_STATUS = WM_APP + 1;
#else
using WindowHandle = void*;
using InstanceHandle = void*;
#endif

using MonitorCallback = std::int32_t (*)(std::int32_t, std::int32_t);

constexpr std::size_t kVersionTextSize = 100;

// The front end's process-wide state. In console mode the window handles stay null and every
// window call on them does nothing.
struct AppState {
    std::int32_t consoleMode;
    InstanceHandle instance;
    WindowHandle mainDialog;
    EditHandle logWindow;
    ProgressWindow progressWindow;
    char versionText[kVersionTextSize];
    MonitorCallback monitorBegin;
    MonitorCallback monitorChanges;
    MonitorCallback monitorEnd;
};

extern AppState g_app;

// Longest message kept; a longer one is cut there.
constexpr std::size_t kStatusMax = 4095;

// The one sink of user-visible messages: `breaks` line feeds and the text on the console, or the
// text appended to the dialog's log after `breaks` line breaks (none into an empty log).
void PrintStatus(std::uint32_t breaks, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
