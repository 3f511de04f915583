#pragma once
#include "record_image.h"

#include <cstdint>
#include <string>
#include <string_view>

// Reads the records of an Intel HEX file: data (type 00), end of file (01), extended segment
// address (02), start segment address (03), extended linear address (04) and start linear
// address (05). Data before any address record runs on past 64 KB, as under a linear address;
// under a segment address it wraps round within the segment. A byte-order mark, blank lines and
// the blanks around a record are allowed; the end-of-file record must come, and nothing after it,
// so that a file cut short is never taken for a whole one. On the first bad record returns false
// with its line and what is wrong.
bool ParseIntelHex(std::string_view text, RecordImage* image, RecordError* error);

// The Intel HEX text of `size` bytes that belong at `address` (address + size must not pass
// 4 GB): data records of 16 bytes that never cross a 64 KB boundary, an extended linear address
// record wherever the upper 16 bits change (none below 64 KB) and the end-of-file record, each
// line ended by CR LF.
std::string FormatIntelHex(const std::uint8_t* data, std::uint32_t size, std::uint32_t address);
