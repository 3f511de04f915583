#pragma once
// The device-library calls the operations make.
#include "corvane.h"
#include "progress_window.h"
#include "result.h"

#include <cstdint>

constexpr std::uint32_t CAPS_BANKS = 0x08000000;
constexpr std::uint32_t CV_XFER_LOWER_W = 0x02;

CvResult ReadBlock(KVCorvane* device, std::uint8_t* buffer, std::uint32_t size, std::uint32_t address,
                   std::uint32_t flags, ProgressWindow progress);
CvResult WriteBlockBothSpaces(KVCorvane* device, std::uint8_t* buffer, std::uint32_t size,
                              std::uint32_t address, std::uint32_t flags, ProgressWindow progress);
CvResult SetBank(KVCorvane* device, std::uint8_t bank, std::int32_t rw, std::int32_t persistent,
                 std::uint32_t options);
std::int32_t GetBackfillOffset(KVCorvane* device, std::uint32_t size, std::uint32_t* offset);
