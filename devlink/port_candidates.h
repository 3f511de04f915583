#pragma once
#include "serial_backend.h"

#include <cstddef>
#include <string>
#include <vector>

// The most ports a search tries.
constexpr std::size_t kMaxPortCandidates = 255;

// The device paths the hardware search tries, in order; candidate i stands for COM(i + 1). The
// environment variable TEVRIX_PORTS, when set (even empty), names them: "COM5;COM7" on Windows,
// "/dev/ttyUSB0:/dev/ttyS1" elsewhere. Otherwise "\\.\COM1" to "\\.\COM255" on Windows and the
// serial devices present elsewhere. On Linux the system console and a ttyS node with no UART
// behind it are never candidates.
std::vector<std::string> PortCandidates();

// The name the user knows a port by: "COM7" for "\\.\COM7" on Windows, the path elsewhere.
std::string PortDisplayName(const std::string& path);

// What a failed search tells the user about a port that exists but could not be opened, with the
// usual remedy; empty for a reason the user cannot act on.
std::string PortAccessAdvice(const std::string& path, PortOpenError reason);

#ifndef _WIN32
// Where the system says which devices exist, which terminal is its console and which serial
// nodes have a UART behind them. Tests point these at fixture files.
struct SystemPortFiles {
    std::string devices = "/dev";
    std::string consoles = "/proc/consoles";
    std::string activeConsole = "/sys/class/tty/console/active";
    std::string ttyClass = "/sys/class/tty";
};

std::vector<std::string> PortCandidates(const SystemPortFiles& files);
#endif
