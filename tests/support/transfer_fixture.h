#pragma once
#include "captured_log.h"
#include "corvane.h"
#include "in_process_ports.h"
#include "test_bytes.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// A simulated emulator on an in-process line, found by the hardware search of a device object:
// the fixture's own, whose log it captures, or the one given (the program's g_device), whose
// port it closes at the end.
struct InProcessDevice {
    explicit InProcessDevice(const DeviceConfig& config, KVCorvane* onto = nullptr)
        : line(ports.Add(SearchCandidates::Path(0), config)), own(&log.sink),
          device(onto != nullptr ? *onto : own) {
        device.capabilities = FindHardware(&device, nullptr, nullptr);
        requestsMark = line.model.requests.size();
    }
    ~InProcessDevice() { ClosePort(&device); }
    InProcessDevice(const InProcessDevice&) = delete;
    InProcessDevice& operator=(const InProcessDevice&) = delete;

    // The requests of one command letter that the host wrote since the last Mark.
    std::vector<Bytes> Sent(std::uint8_t command) {
        std::vector<Bytes> sent;
        auto writes = line.Writes();
        for (std::size_t i = found; i < writes.size(); ++i) {
            if (!writes[i].empty() && writes[i][0] == command) {
                sent.push_back(writes[i]);
            }
        }
        return sent;
    }
    // The names of the requests that reached the device since the last Mark (or the search).
    std::vector<std::string> Requests() {
        const auto& all = line.model.requests;
        return std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(requestsMark), all.end());
    }
    // Only requests from now on count for Sent and Requests.
    void Mark() {
        found = line.Writes().size();
        requestsMark = line.model.requests.size();
    }
    // The device's RAM now.
    std::vector<std::uint8_t> Ram() { return line.model.ram; }

    SearchCandidates candidates{1};
    InProcessPorts ports;
    SimLine& line;
    CapturedLog log;
    KVCorvane own;
    KVCorvane& device;
    std::size_t found = 0;
    std::size_t requestsMark = 0;
};

inline DeviceConfig Config(const char* model, int major, int minor, std::uint8_t vendor = 'n') {
    DeviceConfig config = ModelConfig(model);
    config.major = static_cast<std::uint8_t>(major);
    config.minor = static_cast<std::uint8_t>(minor);
    config.serial[0] = vendor;
    return config;
}

// The device with one more fault; a fault that does not parse fails the test, since the device
// would otherwise run without it and the test pass for the wrong reason.
inline DeviceConfig WithFault(DeviceConfig config, const char* fault) {
    FaultRule rule;
    if (ParseFaultRule(fault, &rule)) {
        config.faults.push_back(rule);
    } else {
        ADD_FAILURE() << "the fault \"" << fault << "\" does not parse";
    }
    return config;
}

// The device with every fault of the list.
inline DeviceConfig WithFaults(DeviceConfig config, const std::vector<const char*>& faults) {
    for (const char* fault : faults) {
        config = WithFault(config, fault);
    }
    return config;
}
