#pragma once
#include <cstddef>
#include <string>
#include <vector>

// The most ports a search tries.
constexpr std::size_t kMaxPortCandidates = 255;

// The device paths the hardware search tries, in order; candidate i stands for COM(i + 1).
// Windows: "\\.\COM1" to "\\.\COM255". Elsewhere: the ':'-separated paths of the environment
// variable TEVRIX_PORTS when it is set (even empty), otherwise the serial devices present.
std::vector<std::string> PortCandidates();
