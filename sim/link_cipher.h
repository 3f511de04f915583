#pragma once
#include <cstddef>
#include <cstdint>

// The device's side of the encrypted link framing. Each byte is chained to the previous cipher
// byte; both functions return the last cipher byte, the seed that continues the chain.
std::uint8_t CipherStartSeed();
std::uint8_t CipherEncrypt(std::uint8_t seed, std::uint8_t* bytes, std::size_t count);
std::uint8_t CipherDecrypt(std::uint8_t seed, std::uint8_t* bytes, std::size_t count);
