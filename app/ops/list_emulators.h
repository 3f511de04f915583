#pragma once
#include "corvane.h"

#include <cstdint>

// The console's -list: one line for every emulator on every candidate port, "<port>: <name>,
// serial <16 hex digits>" (the serial where the device reports one), then the ports that exist
// but could not be opened, as after a failed search. 1 when at least one emulator was found; else
// "Did not find hardware. Aborting..." and 0.
std::int32_t ListEmulators(KVCorvane* device);
