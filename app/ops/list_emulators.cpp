#include "list_emulators.h"

#include "app_state.h"
#include "hardware_list.h"
#include "port_candidates.h"
#include "unopened_ports.h"

#include <cstdio>
#include <string>

std::int32_t ListEmulators(KVCorvane* device) {
    const std::vector<ListedEmulator> found = ListHardware(device);
    std::uint32_t breaks = 2;
    for (const ListedEmulator& emulator : found) {
        std::string line = PortDisplayName(emulator.path) + ": " + emulator.name;
        if (emulator.hasSerial) {
            char serial[17];
            for (int i = 0; i < 8; ++i) {
                std::snprintf(serial + 2 * i, 3, "%02X", emulator.serial[i]);
            }
            line += std::string(", serial ") + serial;
        }
        PrintStatus(breaks, "%s", line.c_str());
        breaks = 1;
    }
    if (found.empty()) {
        PrintStatus(1, "Did not find hardware. Aborting...");
    }
    PrintUnopenedPorts(device);
    return found.empty() ? 0 : 1;
}
