#pragma once
#include "corvane.h"

#include <cstdint>
#include <string>
#include <vector>

// One emulator found by ListHardware.
struct ListedEmulator {
    std::string path;
    // As the search names it ("Corvane USB v3.0.K").
    std::string name;
    std::uint32_t capabilities = 0;
    // The eight serial-number bytes, where the device reports them.
    bool hasSerial = false;
    std::uint8_t serial[8] = {};
};

// Asks every port candidate, as the search does, which emulator answers there, and closes each
// port again without changing the device's rate; the ports that could not be opened are in the
// device's unopenedPorts afterwards. No port is left open.
std::vector<ListedEmulator> ListHardware(KVCorvane* device);
