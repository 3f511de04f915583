#include "port_candidates.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <string_view>

namespace {

// Device names of serial ports, in the order they are tried: USB adapters first.
#ifdef __APPLE__
constexpr std::string_view kPrefixes[] = {"cu."};
#else
constexpr std::string_view kPrefixes[] = {"ttyUSB", "ttyACM", "rfcomm", "ttyS"};
#endif

// Shorter numbers first, so that ttyS2 comes before ttyS10.
bool NaturalLess(const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

std::vector<std::string> FromEnvironment(const char* list) {
    std::vector<std::string> ports;
    std::string_view rest(list);
    while (!rest.empty() && ports.size() < kMaxPortCandidates) {
        std::size_t colon = rest.find(':');
        std::string_view path = rest.substr(0, colon);
        if (!path.empty()) {
            ports.emplace_back(path);
        }
        rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
    }
    return ports;
}

std::vector<std::string> PresentDevices() {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir("/dev")) {
        while (dirent* entry = ::readdir(dir)) {
            names.emplace_back(entry->d_name);
        }
        ::closedir(dir);
    }
    std::vector<std::string> ports;
    for (std::string_view prefix : kPrefixes) {
        std::vector<std::string> group;
        for (const auto& name : names) {
            if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0) {
                group.push_back(name);
            }
        }
        std::sort(group.begin(), group.end(), NaturalLess);
        for (const auto& name : group) {
            if (ports.size() < kMaxPortCandidates) {
                ports.push_back("/dev/" + name);
            }
        }
    }
    return ports;
}

} // namespace

std::vector<std::string> PortCandidates() {
    if (const char* list = std::getenv("TEVRIX_PORTS")) {
        return FromEnvironment(list);
    }
    return PresentDevices();
}
