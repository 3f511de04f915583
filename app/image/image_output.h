#pragma once
#include "image_file.h"

#include <cstdint>
#include <string>

// Checked before a read sends anything: records for `size` bytes at `fileAddress` must end within
// 4 GB and span no more than a HEX or S-record image may. False with `failure` set (the line after
// "FAILURE: "); always true for an output that is written as binary.
bool FitsReadOutput(const char* path, std::uint32_t fileAddress, std::uint32_t size, std::string* failure);

// Saves what a read brought from the emulator in the format the output's name asks for: binary
// bytes at `fileAddress`, the rest of an existing file kept; or HEX or S-records for those bytes
// at address `fileAddress`, which replace the whole file. False unless everything was written.
bool SaveReadOutput(ImageFile* out, const char* path, std::uint32_t fileAddress, const std::uint8_t* data,
                    std::uint32_t size);
