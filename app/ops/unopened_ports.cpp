#include "unopened_ports.h"

#include "app_state.h"
#include "corvane.h"
#include "port_candidates.h"
#include "program_device.h"

void PrintUnopenedPorts() {
    for (const auto& port : g_device.unopenedPorts) {
        std::string advice = PortAccessAdvice(port.path, port.reason);
        if (!advice.empty()) {
            PrintStatus(1, "%s", advice.c_str());
        }
    }
}
