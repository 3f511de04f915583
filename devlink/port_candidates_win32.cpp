#include "port_candidates.h"

#include <cstdio>

std::vector<std::string> PortCandidates() {
    std::vector<std::string> ports;
    for (std::size_t i = 1; i <= kMaxPortCandidates; ++i) {
        char path[20];
        std::snprintf(path, sizeof path, "\\\\.\\COM%i", static_cast<int>(i));
        ports.emplace_back(path);
    }
    return ports;
}
