#pragma once
#include <cstdint>
#include <memory>

// The bytes of an image in memory.
using Buffer = std::unique_ptr<std::uint8_t[]>;

// `size` zeroed bytes; null when the memory cannot be had, which the caller reports.
Buffer Allocate(std::uint32_t size);
