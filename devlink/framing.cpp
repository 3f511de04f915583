#include "framing.h"

std::uint8_t RequestChecksum(const std::uint8_t* bytes, std::size_t count) {
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        sum = static_cast<std::uint8_t>(sum + bytes[i]);
    }
    return sum;
}

std::uint32_t EncryptBytes(KVCorvane* device, std::uint8_t* bytes, std::uint32_t count,
                           std::uint8_t* seedOut) {
    if (bytes == nullptr || count == 0) {
        if (seedOut != nullptr) {
            *seedOut = 0;
        }
        return kCipherNoBytes;
    }
    std::uint8_t seed = 0x5A;
    for (std::int32_t j = 0; j < device->keyLength; ++j) {
        seed = static_cast<std::uint8_t>(seed + device->key[j]);
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint8_t x = bytes[i] ^ seed;
        for (std::int32_t j = 0; j < device->keyLength; ++j) {
            x = (j & 1) ? static_cast<std::uint8_t>(x ^ device->key[j])
                        : static_cast<std::uint8_t>(x + device->key[j]);
        }
        bytes[i] = x;
        seed = x;
    }
    if (seedOut != nullptr) {
        *seedOut = seed;
    }
    return 0;
}

std::uint32_t DecryptBytes(KVCorvane* device, std::uint8_t seed, std::uint8_t* bytes, std::uint32_t count) {
    if (bytes == nullptr || count == 0) {
        return kCipherNoBytes;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint8_t received = bytes[i];
        std::uint8_t x = received;
        for (std::int32_t j = device->keyLength - 1; j >= 0; --j) {
            x = (j & 1) ? static_cast<std::uint8_t>(x ^ device->key[j])
                        : static_cast<std::uint8_t>(x - device->key[j]);
        }
        bytes[i] = x ^ seed;
        seed = received;
    }
    return 0;
}

bool UsesEncryptedFraming(const KVCorvane* device, std::uint32_t flags) {
    return (device->capabilities & CAPS_ENCRYPTION) && !(flags & CV_XFER_NO_ENCRYPTION);
}
