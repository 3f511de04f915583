#pragma once
#include "cmdline.h"
#include "image_source.h"

#include <cstdint>

// The one size rule of write, verify and monitor: without a size (0) the bytes from fileAddress
// to the end of an image of `imageSize` bytes, else exactly `size` of them. 0 when fileAddress
// lies at or past the end, and when the size runs past the end unless `mayRunPast` (a verify
// counts the bytes the file lacks as differences).
std::uint32_t TakenLength(std::uint64_t imageSize, std::uint32_t fileAddress, std::uint32_t size,
                          bool mayRunPast);

// What a write or verify takes from its file, made ready before any emulator is looked for, so
// that a bad or missing file is reported whether one is attached or not.
struct OperationInput {
    ImageSource source;
};

// The file step of an operation: for a write, verify or monitor the file is opened, its records
// read and the size rule applied (a write's and a verify's size becomes the length taken, and
// their file stays open in `input`; a monitor opens its file again when it starts). One FAILURE
// line and false when the file is refused. A read has nothing to check here: its file is looked
// at next to the emulator's RAM.
bool PrepareOperation(OperationParams* params, OperationInput* input);
