#pragma once
#include "corvane.h"

#include <cstddef>
#include <cstdint>

// The failure value of EncryptBytes and DecryptBytes for an empty input.
constexpr std::uint32_t kCipherNoBytes = 0x80004005;

// The last byte of every request except "VV": the 8-bit sum of the bytes before it.
std::uint8_t RequestChecksum(const std::uint8_t* bytes, std::size_t count);

// Encrypts in place; `seedOut` (may be null) gets the seed that continues the chain into a reply.
std::uint32_t EncryptBytes(KVCorvane* device, std::uint8_t* bytes, std::uint32_t count,
                           std::uint8_t* seedOut);
// Decrypts in place, starting from `seed`.
std::uint32_t DecryptBytes(KVCorvane* device, std::uint8_t seed, std::uint8_t* bytes, std::uint32_t count);

// Encrypted framing: the device encrypts and the caller did not pass CV_XFER_NO_ENCRYPTION.
bool UsesEncryptedFraming(const KVCorvane* device, std::uint32_t flags);
