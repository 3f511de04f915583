#include "port_candidates.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

constexpr std::string_view kDevicePrefix = "\\\\.\\";

// "COM5;COM7": each name becomes its device path; a name given as a device path stays as it is.
std::vector<std::string> FromEnvironment(const char* list) {
    std::vector<std::string> ports;
    std::string_view rest(list);
    while (!rest.empty() && ports.size() < kMaxPortCandidates) {
        std::size_t semicolon = rest.find(';');
        std::string_view name = rest.substr(0, semicolon);
        rest = semicolon == std::string_view::npos ? std::string_view{} : rest.substr(semicolon + 1);
        // A batch file's "set" keeps blanks that stood before the line's end.
        std::size_t first = name.find_first_not_of(" \t");
        if (first == std::string_view::npos) {
            continue;
        }
        name = name.substr(first, name.find_last_not_of(" \t") - first + 1);
        if (name.compare(0, kDevicePrefix.size(), kDevicePrefix) == 0) {
            ports.emplace_back(name);
        } else {
            ports.push_back(std::string(kDevicePrefix) + std::string(name));
        }
    }
    return ports;
}

} // namespace

std::string PortDisplayName(const std::string& path) {
    return path.compare(0, kDevicePrefix.size(), kDevicePrefix) == 0 ? path.substr(kDevicePrefix.size())
                                                                     : path;
}

std::vector<std::string> PortCandidates() {
    if (const char* list = std::getenv("TEVRIX_PORTS")) {
        return FromEnvironment(list);
    }
    std::vector<std::string> ports;
    for (std::size_t i = 1; i <= kMaxPortCandidates; ++i) {
        char path[20];
        std::snprintf(path, sizeof path, "\\\\.\\COM%i", static_cast<int>(i));
        ports.emplace_back(path);
    }
    return ports;
}

// A COM port refuses a second program as "access denied", which is reported as busy.
std::string PortAccessAdvice(const std::string& path, PortOpenError reason) {
    return reason == PortOpenError::Busy
               ? "Could not open " + PortDisplayName(path) + ": in use by another program."
               : "";
}
