#pragma once
#include "corvane.h"
#include "in_process_ports.h"

#include <string>
#include <vector>

// The program's one device object (g_device) connected to a simulated emulator on an in-process
// line for the length of a test, as the console's search leaves it.
class SimDevice {
  public:
    explicit SimDevice(const DeviceConfig& config);
    ~SimDevice();
    SimDevice(const SimDevice&) = delete;
    SimDevice& operator=(const SimDevice&) = delete;

    // The device's RAM now.
    std::vector<std::uint8_t> Ram();
    // The names of the requests that reached the device since the last Mark (or the search).
    std::vector<std::string> Requests();
    void Mark();

  private:
    SearchCandidates candidates_{1};
    InProcessPorts ports_;
    SimLine& line_;
    std::size_t mark_ = 0;
};

// A model's settings with the fault rules given in tevrix-sim's --fault syntax.
DeviceConfig SimConfig(const char* model, const std::vector<const char*>& faults = {});
