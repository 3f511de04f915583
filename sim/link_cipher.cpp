#include "link_cipher.h"

#include "link_key.h"

std::uint8_t CipherStartSeed() {
    std::uint8_t seed = 0x5A;
    for (std::uint8_t k : kLinkKey) {
        seed = static_cast<std::uint8_t>(seed + k);
    }
    return seed;
}

std::uint8_t CipherEncrypt(std::uint8_t seed, std::uint8_t* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t x = bytes[i] ^ seed;
        for (std::size_t j = 0; j < sizeof kLinkKey; ++j) {
            x = (j % 2) ? static_cast<std::uint8_t>(x ^ kLinkKey[j])
                        : static_cast<std::uint8_t>(x + kLinkKey[j]);
        }
        bytes[i] = x;
        seed = x;
    }
    return seed;
}

std::uint8_t CipherDecrypt(std::uint8_t seed, std::uint8_t* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t cipher = bytes[i];
        std::uint8_t x = cipher;
        for (std::size_t j = sizeof kLinkKey; j-- > 0;) {
            x = (j % 2) ? static_cast<std::uint8_t>(x ^ kLinkKey[j])
                        : static_cast<std::uint8_t>(x - kLinkKey[j]);
        }
        bytes[i] = x ^ seed;
        seed = cipher;
    }
    return seed;
}
