#pragma once
#include "edit_text.h"

#include <cstddef>
#include <cstdio>

// Destination of the device library's diagnostic lines. A null sink, or one with neither an edit
// control nor a file, drops everything without formatting it.
struct LogSink {
    EditHandle edit = nullptr;
    // Beyond the edit control: a file the lines are appended to, one per line.
    std::FILE* file = nullptr;
};

// Longest line kept; longer lines are cut and stay terminated.
constexpr std::size_t kLogLineMax = 4095;

// Formats per call (no shared buffer), so several threads may log through one sink.
void LogLine(LogSink* sink, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// Rows of 16 bytes: "%04X: " and "%02X " per byte, the text column at 48.
void LogHexDump(LogSink* sink, const void* bytes, std::size_t count, const char* title);

// The sink named by the environment variable TEVRIX_DEVICE_LOG (a file the device log is
// appended to), or null when the variable is unset or the file cannot be opened.
LogSink* DeviceLogFromEnvironment();
