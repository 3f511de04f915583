#pragma once
// What the front ends ask of a found device around an operation: whether it still answers, its
// banks as it holds them now, and the large-bin bank it may have kept from an earlier run.
#include "cmdline.h"
#include "corvane.h"

// True when the device answers a version request (asked twice, so that the tail of a cancelled
// transfer cannot make it look lost).
bool DeviceAnswers(KVCorvane* device);

// Reads both banks from the device: it may have been restarted since it was found, and its banks
// with it.
void RefreshBanks(KVCorvane* device);

// Whether the device emulates the large-bin bank (bank 8) now.
bool EmulatesLargeBank(const KVCorvane* device);

// With large-bin support off on a device that emulates bank 8, sets the persistent emulation
// bank to 0 and says so in one line; false, after one FAILURE line, when the device refused.
bool LeaveLargeBankUnlessAsked(KVCorvane* device, const OperationParams* params);

// With large-bin support not asked for on a device that emulates bank 8, one line saying so and
// where end-justified data goes; the bank itself is left as it is.
void NoteLargeBank(const KVCorvane* device, const OperationParams* params);
