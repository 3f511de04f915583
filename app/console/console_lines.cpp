// Messages put their line breaks first. Written that way, a message's own line would end only
// with the next message, and a program reading the output line by line would see each event one
// event late. So each message ends its line at once, and the first break of whatever follows,
// which stood for that line end, is not written again: the bytes stay the same, only the moment
// each line ends changes.
#include "console.h"

#include <mutex>
#include <string>

namespace {

std::mutex g_consoleMutex;
// The last message's line has been ended ahead of the break that follows it.
bool g_lineEndedEarly = false;

void WriteLocked(std::string_view text) {
    if (g_lineEndedEarly && !text.empty()) {
        g_lineEndedEarly = false;
        if (text.front() == '\n') {
            text.remove_prefix(1);
        }
    }
    if (!text.empty()) {
        WriteStandardOutput(text);
    }
}

} // namespace

void ConsoleWrite(std::string_view text) {
    std::lock_guard<std::mutex> lock(g_consoleMutex);
    WriteLocked(text);
}

void ConsoleMessage(std::uint32_t breaks, std::string_view text) {
    std::lock_guard<std::mutex> lock(g_consoleMutex);
    std::string out(breaks, '\n');
    out += text;
    WriteLocked(out);
    if (out.empty() || out.back() != '\n') {
        WriteStandardOutput("\n");
        g_lineEndedEarly = true;
    }
}

bool ConsoleLineEndedEarly() {
    std::lock_guard<std::mutex> lock(g_consoleMutex);
    return g_lineEndedEarly;
}

void ConsoleNewStream() {
    std::lock_guard<std::mutex> lock(g_consoleMutex);
    g_lineEndedEarly = false;
}
