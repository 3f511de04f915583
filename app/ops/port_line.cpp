#include "port_line.h"

#include "app_state.h"
#include "corvane.h"
#include "port_candidates.h"

void PrintPortLine() {
    const std::string name = PortDisplayName(g_device.port.path);
    PrintStatus(1, "Port: %s, %u baud", name.c_str(), static_cast<unsigned>(g_device.port.CurrentBaud()));
}
