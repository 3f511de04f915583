#pragma once
#include "cmdline.h"
#include "corvane.h"

#include <cstdint>

// Keeps the RAM of the emulator on `device` in step with a file that an editor saves again and again: the
// file's bytes from fileAddress on, to its end or `size` of them (for a HEX or S-record file, its flat
// image's), are taken as what the emulator holds, then compared again as soon as the file system
// reports a save, and at least once a second; every run of changed bytes is written at its
// place, and a run whose upload failed is tried again at the next look. An emulator that stops
// answering is waited for and, once the same one answers again, given the whole image. The file is
// open only while it is read. Runs until keepRunning is cleared (Cancel Op, or the user stopping a
// console run). Reports through the three monitor callbacks of g_app and returns 1; returns 0 after
// one FAILURE line when there is nothing it can watch or the file's records are refused.
int MonitorFile(KVCorvane* device, OperationParams* params);

// The callbacks start-up installs; each returns 1.
std::int32_t OnMonitorBegin(std::int32_t, std::int32_t);
std::int32_t OnMonitorChanges(std::int32_t bytes, std::int32_t blocks);
std::int32_t OnMonitorEnd(std::int32_t, std::int32_t);

void InstallMonitorCallbacks();
