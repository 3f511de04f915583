#pragma once
#include "device_config.h"
#include "scoped_ports.h"
#include "serial_backend.h"
#include "sim_line.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

// Simulated devices on in-process lines, opened by path through the serial opener; every other
// path fails to open.
class InProcessPorts {
  public:
    InProcessPorts() {
        SetSerialOpener([this](const char* path) -> std::unique_ptr<SerialBackend> {
            opened.emplace_back(path);
            auto it = lines_.find(path);
            return it == lines_.end() ? nullptr : it->second->Connect();
        });
    }
    ~InProcessPorts() { SetSerialOpener({}); }
    InProcessPorts(const InProcessPorts&) = delete;
    InProcessPorts& operator=(const InProcessPorts&) = delete;

    SimLine& Add(const std::string& path, const DeviceConfig& config) {
        auto& line = lines_[path];
        line = std::make_unique<SimLine>(config);
        return *line;
    }

    // Every path asked for, in order, whether or not it opened.
    std::vector<std::string> opened;

  private:
    std::map<std::string, std::unique_ptr<SimLine>> lines_;
};

// The model's device; an unknown name fails the test rather than giving some other device.
inline DeviceConfig ModelConfig(const char* name) {
    DeviceConfig config;
    if (!ConfigForModel(name, &config)) {
        ADD_FAILURE() << "no device model \"" << name << "\"";
    }
    return config;
}

// The paths the hardware search tries first, for the length of the test: "\\.\COM1" and on on
// Windows, whatever the environment says; elsewhere `count` names given to the search through
// TEVRIX_PORTS.
class SearchCandidates {
  public:
#ifdef _WIN32
    explicit SearchCandidates(int) : ports_(nullptr) {}
#else
    explicit SearchCandidates(int count) : ports_(List(count)) {}
#endif

    static std::string Path(int i) {
#ifdef _WIN32
        return "\\\\.\\COM" + std::to_string(i + 1);
#else
        return "sim" + std::to_string(i);
#endif
    }

  private:
    static std::string List(int count) {
        std::string list;
        for (int i = 0; i < count; ++i) {
            list += (i ? ":" : "") + Path(i);
        }
        return list;
    }

    ScopedPorts ports_;
};
