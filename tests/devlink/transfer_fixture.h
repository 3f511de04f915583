#pragma once
#include "captured_log.h"
#include "corvane.h"
#include "in_process_ports.h"

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

inline DeviceConfig WithFault(DeviceConfig config, const char* fault) {
    FaultRule rule;
    if (ParseFaultRule(fault, &rule)) {
        config.faults.push_back(rule);
    }
    return config;
}

// Bytes that differ from one position to the next, from `seed` on.
inline Bytes Pattern(std::size_t size, std::uint32_t seed) {
    Bytes bytes(size);
    std::uint32_t x = seed * 2654435761u + 1;
    for (auto& b : bytes) {
        x = x * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(x >> 16);
    }
    return bytes;
}
