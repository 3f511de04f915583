#pragma once
#include "record_image.h"

#include <cstdint>
#include <string>
#include <string_view>

enum class ImageFormat { Binary, IntelHex, SRecord };

// What a file holds, told by its first bytes, never by its name: Intel HEX when, after blank
// lines, it begins with ':' and at least 10 hexadecimal digits (the shortest record); S-records
// when it begins with 'S', a digit and at least 8 hexadecimal digits; raw binary otherwise. A
// binary image begins like that about once in 10^13. What follows is left to the parser, so a
// record file with a bad character in its first line is refused, not sent as binary.
ImageFormat DetectImageFormat(std::string_view head);

// How many of a file's first bytes are handed to DetectImageFormat: room for blank lines before
// the first record.
constexpr std::uint32_t kFormatHeadBytes = 1024;

// The format a read writes, by the output's name (letters in any case): Intel HEX for .hex and
// .ihx, S-records for .s19, .s28, .s37, .srec and .mot, raw binary for any other name.
ImageFormat OutputImageFormat(const char* path);

// Reads the records of a HEX or S-record text.
bool ParseImageRecords(ImageFormat format, std::string_view text, RecordImage* image, RecordError* error);

// The text of `size` bytes at `address` in a HEX or S-record format; `name` is the file's name,
// which an S-record header carries.
std::string FormatImageRecords(ImageFormat format, const std::uint8_t* data, std::uint32_t size,
                               std::uint32_t address, std::string_view name);
