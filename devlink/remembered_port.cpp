#include "remembered_port.h"

#include "state_file.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

constexpr const char* kFileName = "last-port";
// A path longer than this is no port name; the file is then not the program's.
constexpr std::size_t kMaxPathLength = 4096;

std::string StateFile(LogSink* log) {
    std::string why;
    std::string directory = StateDirectory(&why);
    if (directory.empty()) {
        LogLine(log, "KVCorvane: No remembered port: %s", why.c_str());
        return "";
    }
    return (std::filesystem::path(directory) / kFileName).string();
}

bool PlausibleRate(std::uint32_t baud) {
    return baud >= 300 && baud <= 4000000;
}

} // namespace

bool LoadRememberedPort(LogSink* log, RememberedPort* port) {
    std::string file = StateFile(log);
    if (file.empty()) {
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        LogLine(log, "KVCorvane: No remembered port: %s cannot be read", file.c_str());
        return false;
    }
    // Two lines: the port's path, then its rate in baud.
    std::string path;
    std::string rate;
    std::getline(in, path);
    std::getline(in, rate);
    char* end = nullptr;
    unsigned long baud = std::strtoul(rate.c_str(), &end, 10);
    if (path.empty() || path.size() > kMaxPathLength || rate.empty() || *end != '\0' ||
        !PlausibleRate(static_cast<std::uint32_t>(baud))) {
        LogLine(log, "KVCorvane: No remembered port: %s does not hold a port and a rate", file.c_str());
        return false;
    }
    port->path = path;
    port->baud = static_cast<std::uint32_t>(baud);
    LogLine(log, "KVCorvane: Remembered port %s at %u baud", path.c_str(), static_cast<unsigned>(baud));
    return true;
}

void StoreRememberedPort(LogSink* log, const RememberedPort& port) {
    std::string file = StateFile(log);
    if (file.empty()) {
        return;
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(file).parent_path(), error);
    if (error) {
        LogLine(log, "KVCorvane: The port is not remembered: %s: %s", file.c_str(), error.message().c_str());
        return;
    }
    // Written beside the file and put in its place whole: a run that reads it meanwhile, or a
    // crash half-way, never finds half a file.
    const std::string temp = file + ".new";
    bool written = false;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << port.path << '\n' << port.baud << '\n';
        out.flush();
        written = static_cast<bool>(out);
    }
    std::string why = "it cannot be written";
    if (!written || !ReplaceFileWith(temp, file, &why)) {
        std::filesystem::remove(temp, error);
        LogLine(log, "KVCorvane: The port is not remembered: %s: %s", file.c_str(), why.c_str());
    }
}
