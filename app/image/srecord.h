#pragma once
#include "record_image.h"

#include <cstdint>
#include <string>
#include <string_view>

// Reads the records of an S-record file: header (S0), data with 16-, 24- and 32-bit addresses
// (S1, S2, S3), record counts (S5, S6), which must match the data records before them, and the
// termination records (S7, S8, S9), with the letter in either case. A byte-order mark, blank
// lines and the blanks around a record are allowed. The file must end with a termination record
// or with a record count, and nothing may follow a termination record, so that a file cut short
// is never taken for a whole one. On the first bad record returns false with its line and what is
// wrong.
bool ParseSRecords(std::string_view text, RecordImage* image, RecordError* error);

// The S-record text of `size` bytes that belong at `address` (address + size must not pass
// 4 GB): a header record holding `header` (at most 64 characters of it), data records of 16 bytes
// in the shortest address form that fits the last address (S1, S2 or S3) and the termination
// record of that form, each line ended by CR LF.
std::string FormatSRecords(const std::uint8_t* data, std::uint32_t size, std::uint32_t address,
                           std::string_view header);
