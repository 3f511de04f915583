#pragma once
#include "device_config.h"

#include <cstdint>
#include <string>
#include <vector>

// The command line of tevrix-sim.
struct SimOptions {
    DeviceConfig device;
    std::string link;
    struct Load {
        std::string path;
        std::uint32_t address = 0;
    };
    std::vector<Load> loads;
    std::string dump;
    bool pace = false;
    bool help = false;
};

// False with a message in `error` for an unknown option or a bad value.
bool ParseSimOptions(int argc, char** argv, SimOptions* options, std::string* error);
std::string SimUsage();
