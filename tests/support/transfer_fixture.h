#pragma once
#include "captured_log.h"
#include "corvane.h"
#include "in_process_ports.h"
#include "test_bytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// A connected, identified device on an in-process line.
struct InProcessDevice {
    explicit InProcessDevice(const DeviceConfig& config)
        : line(ports.Add(SearchCandidates::Path(0), config)), device(&log.sink) {
        device.capabilities = FindHardware(&device, nullptr, nullptr);
    }

    // The requests of one command letter that the host wrote since the device was found.
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
    // Only requests from now on count for Sent.
    void Mark() { found = line.Writes().size(); }

    SearchCandidates candidates{1};
    InProcessPorts ports;
    SimLine& line;
    CapturedLog log;
    KVCorvane device;
    std::size_t found = 0;
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
