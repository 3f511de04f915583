#pragma once
#include <cstdint>

// The key of the encrypted link framing, shared by the device library and the emulator model.
constexpr std::uint8_t kLinkKey[8] = {0x54, 0x65, 0x76, 0x72, 0x69, 0x78, 0x21, 0x07};
