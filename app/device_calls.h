#pragma once
// The device-library calls the operations make.
#include "corvane.h"
#include "progress_window.h"
#include "result.h"

#include <cstdint>

CvResult ReadBlock(KVCorvane* device, std::uint8_t* buffer, std::uint32_t size, std::uint32_t address,
                   std::uint32_t flags, ProgressWindow progress);
CvResult WriteBlockBothSpaces(KVCorvane* device, std::uint8_t* buffer, std::uint32_t size,
                              std::uint32_t address, std::uint32_t flags, ProgressWindow progress);
CvResult SetBank(KVCorvane* device, std::uint8_t bank, std::int32_t rw, std::int32_t persistent,
                 std::uint32_t options);
std::int32_t GetBackfillOffset(KVCorvane* device, std::uint32_t size, std::uint32_t* offset);
