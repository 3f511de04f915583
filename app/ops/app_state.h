#pragma once
#include "edit_text.h"
#include "progress_window.h"

#include <cstdint>

#ifdef _WIN32
// The handle type as the platform's headers declare it, without them.
struct HWND__;
using WindowHandle = HWND__*;
#else
using WindowHandle = void*;
#endif

// PrintStatus sends this to the main dialog (wParam the line breaks, lParam the text), which
// appends the message to its log on its own thread. WM_APP + 1, numbered here for the portable
// code; the dialog checks it against the platform's.
constexpr std::uint32_t kWmAppendStatus = 0x8001;

// Where the front end shows what the operations do: the console, or the dialog's log and its
// status control. In console mode the window handles stay null and every window call on them
// does nothing. The dialog sets the handles while it is open.
struct AppState {
    std::int32_t consoleMode;
    WindowHandle mainDialog;
    EditHandle logWindow;
    ProgressWindow progressWindow;
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
