#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// The data of a HEX or S-record file by address: what its records give, nothing more. The flat
// image it stands for starts at address 0, holds 0xFF wherever no record gives a value and ends
// one past the highest address given. Only the given bytes are stored, so a single record near
// the top of the 4 GB address space costs a few bytes, not a 4 GB array.
struct RecordImage {
    // Disjoint runs of given bytes, by their first address.
    std::map<std::uint32_t, std::vector<std::uint8_t>> runs;
    // One past the highest address given; 0 when no record gives a byte.
    std::uint64_t end = 0;
};

// Why a file's records were refused: the line (counted from 1) and what is wrong with it.
struct RecordError {
    std::uint32_t line = 0;
    std::string what;
};

// Adds `size` bytes at `address` (address + size must not pass 4 GB). A byte that an earlier
// record gave the same value is fine; one it gave another value is refused with `error->what`
// naming the address, and the image is left partly filled.
bool AddRecordBytes(RecordImage* image, std::uint32_t address, const std::uint8_t* data, std::size_t size,
                    RecordError* error);

// Lays out `size` bytes of the flat image from `offset`: 0xFF, then the given bytes at their
// places. The whole buffer is written, also beyond the image's end; returns how many of the bytes
// lie within it.
std::uint32_t ReadRecordImageAt(const RecordImage& image, std::uint64_t offset, std::uint8_t* buffer,
                                std::uint32_t size);

// A UTF-8 byte-order mark, which some editors put before the first line of a text file.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Parses a record file line by line: parse(line) for every line that is not blank, each without
// its line end ("\n", "\r\n" or a lone "\r") and the blanks and tabs around it, with error->line
// kept at its number (counted from 1), up to the first line it refuses; a byte-order mark before
// the first line is not part of it. A file whose lines are all taken but after which `complete`
// is still false is refused too, at the line after the last, with `missingEnd`: a save cut short
// must not pass for the whole file.
template <typename ParseLine>
bool ParseRecordLines(std::string_view text, const bool& complete, const char* missingEnd, RecordError* error,
                      ParseLine parse) {
    std::uint32_t number = 0;
    std::size_t begin = text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    while (begin < text.size()) {
        std::size_t end = text.find_first_of("\r\n", begin);
        std::size_t next = end;
        if (end == std::string_view::npos) {
            end = text.size();
            next = end;
        } else if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
            next = end + 2;
        } else {
            next = end + 1;
        }
        std::string_view line = text.substr(begin, end - begin);
        std::size_t first = line.find_first_not_of(" \t");
        line = first == std::string_view::npos ? std::string_view{} : line.substr(first);
        line = line.substr(0, line.find_last_not_of(" \t") + 1);
        error->line = ++number;
        if (!line.empty() && !parse(line)) {
            return false;
        }
        begin = next;
    }
    if (!complete) {
        error->line = number + 1;
        error->what = missingEnd;
        return false;
    }
    return true;
}

// The bytes that the hexadecimal digits of a record stand for, two digits each, the first of them
// the record's length: a record of length L is `fixedBytes` + L bytes long, so `digits` must be
// twice that many, and `bytes` must have room for `fixedBytes` + 255. `count` gets how many bytes
// the record holds. False with `error->what` set for a character that is not a hexadecimal digit
// or a number of digits that does not match the length, counted as the user sees them: digits
// after `leader` (the colon, or the record type).
bool DecodeRecordHex(std::string_view digits, std::size_t fixedBytes, const char* leader, std::uint8_t* bytes,
                     std::size_t* count, RecordError* error);

// printf-style text for the messages about records and record files.
std::string RecordText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Appends the two upper-case hexadecimal digits of `value`.
void AppendHexByte(std::string* text, std::uint8_t value);
