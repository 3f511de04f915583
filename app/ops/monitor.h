#pragma once
#include "cmdline.h"
#include "corvane.h"

#include <cstdint>

using MonitorCallback = std::int32_t (*)(std::int32_t, std::int32_t);

// What a monitoring run tells its front end, each slot only when it is set: that it has begun
// (0, 0), that it uploaded changes (bytes, blocks), and that it has ended (0, 0).
struct MonitorReports {
    MonitorCallback begin;
    MonitorCallback changes;
    MonitorCallback end;
};

// Keeps the RAM of the emulator on `device` in step with a file that an editor saves again and again: the
// file's bytes from fileAddress on, to its end or `size` of them (for a HEX or S-record file, its flat
// image's), are taken as what the emulator holds, then compared again as soon as the file system
// reports a save, and at least once a second; every run of changed bytes is written at its
// place, and a run whose upload failed is tried again at the next look. An emulator that stops
// answering is waited for and, once the same one answers again, given the whole image. The file is
// open only while it is read. Runs until keepRunning is cleared (Cancel Op, or the user stopping a
// console run). Tells `reports` as it goes and returns 1; returns 0 after one FAILURE line when
// there is nothing it can watch or the file's records are refused.
int MonitorFile(KVCorvane* device, OperationParams* params, const MonitorReports& reports);

// The program's reports, in both modes; each returns 1.
std::int32_t OnMonitorBegin(std::int32_t, std::int32_t);
std::int32_t OnMonitorChanges(std::int32_t bytes, std::int32_t blocks);
std::int32_t OnMonitorEnd(std::int32_t, std::int32_t);

constexpr MonitorReports kProgramMonitorReports{OnMonitorBegin, OnMonitorChanges, OnMonitorEnd};
