#include "record_image.h"

#include "hex_number.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <iterator>

bool AddRecordBytes(RecordImage* image, std::uint32_t address, const std::uint8_t* data, std::size_t size,
                    RecordError* error) {
    auto& runs = image->runs;
    const std::uint64_t end = std::uint64_t{address} + size;
    std::uint64_t at = address;
    // The first run that could hold `at`: the last one starting at or before it.
    auto run = runs.upper_bound(address);
    if (run != runs.begin() && std::prev(run)->first + std::prev(run)->second.size() > at) {
        run = std::prev(run);
    }
    while (at < end) {
        if (run != runs.end() && run->first <= at) {
            const std::uint64_t shared = std::min<std::uint64_t>(end, run->first + run->second.size());
            for (; at < shared; ++at) {
                const std::uint8_t given = run->second[at - run->first];
                const std::uint8_t now = data[at - address];
                if (given != now) {
                    error->what = RecordText("address 0x%llX already holds 0x%02X, this record gives 0x%02X",
                                             static_cast<unsigned long long>(at), given, now);
                    return false;
                }
            }
            ++run;
            continue;
        }
        const std::uint64_t gapEnd = run == runs.end() ? end : std::min<std::uint64_t>(end, run->first);
        const std::uint8_t* from = data + (at - address);
        const std::uint8_t* to = data + (gapEnd - address);
        // Records mostly follow one another: extend the run just before instead of starting one.
        // Runs are never joined to the one after, which would copy it and could make a file of
        // records in falling order cost time by the square of its length.
        auto before = run == runs.begin() ? runs.end() : std::prev(run);
        if (before != runs.end() && before->first + before->second.size() == at) {
            before->second.insert(before->second.end(), from, to);
        } else {
            runs.emplace_hint(run, static_cast<std::uint32_t>(at), std::vector<std::uint8_t>(from, to));
        }
        at = gapEnd;
    }
    if (size > 0) {
        image->end = std::max(image->end, end);
    }
    return true;
}

std::uint32_t ReadRecordImageAt(const RecordImage& image, std::uint64_t offset, std::uint8_t* buffer,
                                std::uint32_t size) {
    std::memset(buffer, 0xFF, size);
    const std::uint64_t end = offset + size;
    auto run = image.runs.upper_bound(offset > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(offset));
    if (run != image.runs.begin()) {
        --run;
    }
    for (; run != image.runs.end() && run->first < end; ++run) {
        const std::uint64_t first = std::max<std::uint64_t>(offset, run->first);
        const std::uint64_t last = std::min<std::uint64_t>(end, run->first + run->second.size());
        if (first < last) {
            std::memcpy(buffer + (first - offset), run->second.data() + (first - run->first), last - first);
        }
    }
    if (offset >= image.end) {
        return 0;
    }
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(size, image.end - offset));
}

bool DecodeRecordHex(std::string_view digits, std::size_t fixedBytes, const char* leader, std::uint8_t* bytes,
                     std::size_t* count, RecordError* error) {
    for (char c : digits) {
        if (HexDigitValue(c) < 0) {
            const auto code = static_cast<unsigned char>(c);
            error->what = code > 0x20 && code < 0x7F
                              ? RecordText("'%c' is not a hexadecimal digit", c)
                              : RecordText("the character 0x%02X is not a hexadecimal digit", code);
            return false;
        }
    }
    const auto has = static_cast<unsigned>(digits.size());
    if (has < 2) {
        error->what = RecordText("the record's length takes 2 hexadecimal digits after %s, the line has %u",
                                 leader, has);
        return false;
    }
    const int length = HexDigitValue(digits[0]) << 4 | HexDigitValue(digits[1]);
    const auto wanted = static_cast<unsigned>(2 * (fixedBytes + length));
    if (has != wanted) {
        error->what =
            RecordText("the record's length 0x%02X calls for %u hexadecimal digits after %s, the line has %u",
                       length, wanted, leader, has);
        return false;
    }
    *count = has / 2;
    for (std::size_t i = 0; i < *count; ++i) {
        bytes[i] =
            static_cast<std::uint8_t>(HexDigitValue(digits[2 * i]) << 4 | HexDigitValue(digits[2 * i + 1]));
    }
    return true;
}

void AppendHexByte(std::string* text, std::uint8_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    text->push_back(kDigits[value >> 4]);
    text->push_back(kDigits[value & 0x0F]);
}

std::string RecordText(const char* format, ...) {
    char text[400];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}
