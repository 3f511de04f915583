#pragma once
#include "corvane.h"

#include <cstdint>

// How far into emulator RAM the device's transfer requests can address: the number of bytes from
// address 0 that every request a transfer may send (bulk or slow, plain or encrypted, in either
// address space) can name, with the emulation bank `emulationBank` in force. An address at or
// past it would be cut to the bits a request carries and land on other bytes.
std::uint32_t GetRequestReach(const KVCorvane* device, std::uint8_t emulationBank);
