#include "sim_device.h"

#include "transfer_fixture.h"

SimDevice::SimDevice(const DeviceConfig& config) : line_(ports_.Add(SearchCandidates::Path(0), config)) {
    g_device.capabilities = FindHardware(&g_device, nullptr, nullptr);
    Mark();
}

SimDevice::~SimDevice() {
    ClosePort(&g_device);
}

std::vector<std::uint8_t> SimDevice::Ram() {
    return line_.model.ram;
}

std::vector<std::string> SimDevice::Requests() {
    const auto& all = line_.model.requests;
    return std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(mark_), all.end());
}

void SimDevice::Mark() {
    mark_ = line_.model.requests.size();
}

DeviceConfig SimConfig(const char* model, const std::vector<const char*>& faults) {
    DeviceConfig config = ModelConfig(model);
    for (const char* fault : faults) {
        config = WithFault(config, fault);
    }
    return config;
}
