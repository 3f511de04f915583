#pragma once
#include "log.h"

#include <cstdint>
#include <string>

// The port and rate of the last successful search, kept between runs in the state folder's
// last-port file, so that the next run tries them first. A file that cannot be read or written
// only costs the next search its head start; the device log says why.
struct RememberedPort {
    std::string path;
    std::uint32_t baud = 0;
};

// False when nothing usable is remembered.
bool LoadRememberedPort(LogSink* log, RememberedPort* port);
void StoreRememberedPort(LogSink* log, const RememberedPort& port);
