#include "log.h"

#include <cctype>
#include <cstdarg>
#include <cstdlib>
#include <mutex>

namespace {

bool Enabled(const LogSink* sink) {
    return sink != nullptr && (sink->edit != nullptr || sink->file != nullptr);
}

// Never destroyed: the device object logs its port's closing during static destruction.
std::mutex& FileMutex() {
    static std::mutex* mutex = new std::mutex;
    return *mutex;
}

void Emit(LogSink* sink, const char* line) {
    if (sink->edit != nullptr) {
        AppendEditText(sink->edit, line, 1);
    }
    if (sink->file != nullptr) {
        std::lock_guard<std::mutex> lock(FileMutex());
        std::fputs(line, sink->file);
        std::fputc('\n', sink->file);
        std::fflush(sink->file);
    }
}

} // namespace

void LogLine(LogSink* sink, const char* format, ...) {
    if (!Enabled(sink)) {
        return;
    }
    char line[kLogLineMax + 1];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    line[kLogLineMax] = '\0';
    Emit(sink, line);
}

void LogHexDump(LogSink* sink, const void* bytes, std::size_t count, const char* title) {
    if (!Enabled(sink) || bytes == nullptr || count == 0) {
        return;
    }
    if (title != nullptr) {
        LogLine(sink, "%s", title);
    }
    const auto* data = static_cast<const unsigned char*>(bytes);
    for (std::size_t row = 0; row < count; row += 16) {
        std::size_t n = count - row < 16 ? count - row : 16;
        char text[16 * 3 + 16 + 1];
        char* out = text;
        for (std::size_t i = 0; i < 16; ++i) {
            if (i < n) {
                std::snprintf(out, 4, "%02X ", data[row + i]);
            } else {
                out[0] = out[1] = out[2] = ' ';
            }
            out += 3;
        }
        for (std::size_t i = 0; i < n; ++i) {
            unsigned char c = data[row + i];
            *out++ = std::isprint(c) ? static_cast<char>(c) : '.';
        }
        *out = '\0';
        LogLine(sink, "%04X: %s", static_cast<unsigned>(row), text);
    }
}

LogSink* DeviceLogFromEnvironment() {
    static LogSink sink;
    static bool opened = [] {
        const char* path = std::getenv("TEVRIX_DEVICE_LOG");
        if (path == nullptr || *path == '\0') {
            return false;
        }
        sink.file = std::fopen(path, "a");
        return sink.file != nullptr;
    }();
    return opened ? &sink : nullptr;
}
