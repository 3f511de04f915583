#pragma once
#include "record_image.h"

#include <cstdint>
#include <string>
#include <string_view>

enum class ImageFormat { Binary, IntelHex, SRecord };

// The first line of a text that is not blank (not only blanks and tabs), without the blanks
// before it and its line end, and its number counted from 1 as the record parsers count; a
// byte-order mark before the first line is not part of it. Number 0 when there is no such line.
struct FirstLine {
    std::string_view text;
    std::uint32_t number;
};
FirstLine FindFirstLine(std::string_view text);

// What a file holds, told by its first bytes, never by its name: Intel HEX when its first line
// that is not blank begins with ':' and a hexadecimal digit, S-records when it begins with 'S'
// or 's' and a digit, raw binary otherwise, and also when that line holds a control character
// (other than a tab) or a byte above 0x7E, which no text holds. Everything else after those two
// characters is the parser's to judge, so that a record file with a fault in its first line, or
// cut short within it, is refused and never sent as raw bytes.
ImageFormat DetectImageFormat(std::string_view head);

// How many of a file's first bytes are handed to DetectImageFormat: room for blank lines before
// the first record.
constexpr std::uint32_t kFormatHeadBytes = 1024;

// The format a file's name stands for (letters in any case): Intel HEX for .hex and .ihx,
// S-records for .s19, .s28, .s37, .srec and .mot, raw binary for any other name. A read writes
// this format; a file to be written, verified or monitored is parsed by its content, but one
// named for records is never taken as raw bytes.
ImageFormat OutputImageFormat(const char* path);

// Reads the records of a HEX or S-record text.
bool ParseImageRecords(ImageFormat format, std::string_view text, RecordImage* image, RecordError* error);

// The text of `size` bytes at `address` in a HEX or S-record format; `name` is the file's name,
// which an S-record header carries.
std::string FormatImageRecords(ImageFormat format, const std::uint8_t* data, std::uint32_t size,
                               std::uint32_t address, std::string_view name);

// The format's name in messages: "Intel HEX", "S-records" or "binary".
const char* ImageFormatName(ImageFormat format);
