#pragma once
// Bytes for tests: contents that show misplaced data, and whole files read and written.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Bytes that differ from one position to the next, from `seed` on: a byte out of place shows.
std::vector<std::uint8_t> Pattern(std::size_t size, std::uint32_t seed);

// 0, 1, 2, ... 255, 0, 1, ...: every byte tells its offset modulo 256.
std::vector<std::uint8_t> CountingBytes(std::size_t size);

// The file's bytes; empty when it cannot be read.
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);

// Writes the file anew; true when every byte was written.
bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
