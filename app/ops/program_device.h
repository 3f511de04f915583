#pragma once
#include "corvane.h"

// The program's one emulator link, shared by its operations, its monitor and the dialog's
// threads. It starts without a log: AttachDeviceLog gives it the one the user asked for.
extern KVCorvane g_device;

// Where the program starts: the file log named by TEVRIX_DEVICE_LOG, if any, for the device and
// its port.
void AttachDeviceLog();
