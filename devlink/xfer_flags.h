#pragma once
#include <cstdint>

// Transfer request flags, the `flags` argument of every transfer.
constexpr std::uint32_t CV_XFER_ALT_WRITE = 0x01;
constexpr std::uint32_t CV_XFER_LOWER_W = 0x02;
constexpr std::uint32_t CV_XFER_NO_BULK = 0x04;
constexpr std::uint32_t CV_XFER_NO_ENCRYPTION = 0x08;
constexpr std::uint32_t CV_XFER_SPACE1 = 0x10;
constexpr std::uint32_t CV_XFER_SPACE2 = 0x20;
constexpr std::uint32_t CV_XFER_NO_SPACE = 0x40;
