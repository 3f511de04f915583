#pragma once
#include "corvane.h"

// After the line that names the found emulator (the start's FOUND, the dialog's Found, and again
// after a reconnection): which port it answers on and at what rate, "Port: /dev/ttyUSB0, 115200
// baud" ("Port: COM7, 921600 baud" on Windows).
void PrintPortLine(const KVCorvane* device);

// The line that names an emulator found able to emulate, then its port line: "FOUND: <name>" after
// a blank line on the console, "Found: <name>" in the dialog's log.
void PrintFound(const KVCorvane* device, const char* name);
