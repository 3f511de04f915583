#include "unopened_ports.h"

#include "app_state.h"
#include "corvane.h"
#include "port_candidates.h"

void PrintUnopenedPorts(const KVCorvane* device) {
    for (const auto& port : device->unopenedPorts) {
        std::string advice = PortAccessAdvice(port.path, port.reason);
        if (!advice.empty()) {
            PrintStatus(1, "%s", advice.c_str());
        }
    }
}
