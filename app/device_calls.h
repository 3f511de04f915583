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
