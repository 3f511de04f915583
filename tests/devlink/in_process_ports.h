#pragma once
#include "device_config.h"
#include "serial_backend.h"
#include "sim_line.h"

#include <cstdlib>
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

inline DeviceConfig ModelConfig(const char* name) {
    DeviceConfig config;
    ConfigForModel(name, &config);
    return config;
}

// The paths the hardware search tries first: "\\.\COM1" and on on Windows; elsewhere `count`
// names given to the search through TEVRIX_PORTS for the length of the test.
class SearchCandidates {
  public:
    explicit SearchCandidates(int count) {
#ifndef _WIN32
        std::string list;
        for (int i = 0; i < count; ++i) {
            list += (i ? ":" : "") + Path(i);
        }
        ::setenv("TEVRIX_PORTS", list.c_str(), 1);
#else
        (void)count;
#endif
    }
    ~SearchCandidates() {
#ifndef _WIN32
        ::unsetenv("TEVRIX_PORTS");
#endif
    }
    SearchCandidates(const SearchCandidates&) = delete;
    SearchCandidates& operator=(const SearchCandidates&) = delete;

    static std::string Path(int i) {
#ifdef _WIN32
        return "\\\\.\\COM" + std::to_string(i + 1);
#else
        return "sim" + std::to_string(i);
#endif
    }
};
