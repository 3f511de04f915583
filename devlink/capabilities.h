#pragma once
#include <cstdint>

// Capability flags of the connected device; 0 means no device.
constexpr std::uint32_t CAPS_HWINFO = 0x00000001;
constexpr std::uint32_t CAPS_CORVANE = 0x00000020;
constexpr std::uint32_t CAPS_GLINTSEAR = 0x00000040;
constexpr std::uint32_t CAPS_DRAVEL = 0x00000080;
constexpr std::uint32_t CAPS_DRAVEL2 = 0x00000100;
constexpr std::uint32_t CAPS_SKELMAR = 0x00000200;
constexpr std::uint32_t CAPS_PARDYN = 0x00000400;
constexpr std::uint32_t CAPS_VORRAK = 0x00000800;
constexpr std::uint32_t CAPS_TESSIQ = 0x00001000;
constexpr std::uint32_t CAPS_VESPIN2 = 0x00002000;
constexpr std::uint32_t CAPS_VESPIN1 = 0x00004000;
constexpr std::uint32_t CAPS_QUORREN = 0x00008000;
constexpr std::uint32_t CAPS_IF_USB = 0x00100000;
constexpr std::uint32_t CAPS_IF_SERIAL = 0x00200000;
constexpr std::uint32_t CAPS_IF_BLUETOOTH = 0x00400000;
constexpr std::uint32_t CAPS_EMULATION = 0x02000000;
constexpr std::uint32_t CAPS_ENCRYPTION = 0x04000000;
constexpr std::uint32_t CAPS_BANKS = 0x08000000;
constexpr std::uint32_t CAPS_BULK = 0x40000000;
