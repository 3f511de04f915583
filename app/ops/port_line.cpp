#include "port_line.h"

#include "app_state.h"
#include "corvane.h"
#include "port_candidates.h"

#include <cstdio>

void PrintPortLine(const KVCorvane* device) {
    const std::string name = PortDisplayName(device->port.path);
    PrintStatus(1, "Port: %s, %u baud", name.c_str(), static_cast<unsigned>(device->port.CurrentBaud()));
}

void PrintFound(const KVCorvane* device, const char* name) {
    if (g_app.consoleMode) {
        char found[255];
        std::snprintf(found, sizeof found, "FOUND: %s", name);
        PrintStatus(2, "%s", found);
    } else {
        PrintStatus(2, "Found: %s", name);
    }
    PrintPortLine(device);
}
