#pragma once
// What every record parser must hold to, whatever the text: a refusal names a line and a reason;
// an accepted image has disjoint runs within 4 GB that end where it says, lays out within its
// buffers, and each run written out again reads back as the same bytes at the same address.
#include "image_format.h"
#include "record_image.h"

#include <cstdint>
#include <string_view>
#include <vector>

inline void CheckRecords(ImageFormat format, const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    DetectImageFormat(text);
    RecordImage image;
    RecordError error;
    if (!ParseImageRecords(format, text, &image, &error)) {
        if (error.line == 0 || error.what.empty()) {
            __builtin_trap();
        }
        return;
    }
    std::uint64_t previousEnd = 0;
    std::uint64_t end = 0;
    for (const auto& [address, bytes] : image.runs) {
        const std::uint64_t runEnd = std::uint64_t{address} + bytes.size();
        if (bytes.empty() || address < previousEnd || runEnd > 0x100000000ull) {
            __builtin_trap();
        }
        previousEnd = runEnd;
        end = runEnd;
    }
    if (image.end != end) {
        __builtin_trap();
    }
    std::vector<std::uint8_t> window(64);
    for (const auto& [address, bytes] : image.runs) {
        // Around the run's first byte, so that layouts that begin before, in and after a run
        // all meet their edges.
        const std::uint64_t from = address >= 5 ? address - 5 : 0;
        const std::uint32_t within = ReadRecordImageAt(image, from, window.data(), 64);
        if (within > 64 || (from < image.end && within == 0) || window[address - from] != bytes[0]) {
            __builtin_trap();
        }
        const std::string again = FormatImageRecords(
            format, bytes.data(), static_cast<std::uint32_t>(bytes.size()), address, "fuzz");
        RecordImage reread;
        if (!ParseImageRecords(format, again, &reread, &error) || reread.runs.size() != 1 ||
            reread.runs.begin()->first != address || reread.runs.begin()->second != bytes) {
            __builtin_trap();
        }
    }
}
