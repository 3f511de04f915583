#include "intel_hex.h"

#include <algorithm>
#include <utility>

namespace {

enum : std::uint8_t {
    kData = 0x00,
    kEndOfFile = 0x01,
    kSegmentAddress = 0x02,
    kStartSegment = 0x03,
    kLinearAddress = 0x04,
    kStartLinear = 0x05,
};

// Length, two address bytes, type and checksum around at most 255 data bytes.
constexpr std::size_t kMaxRecord = 5 + 255;

struct ParseState {
    RecordImage* image;
    RecordError* error;
    std::uint32_t base = 0;
    // Under an extended linear address, and before any address record, the data runs on across
    // 64 KB boundaries, as the common converters read it; under a segment address the 16-bit
    // offset wraps round within its segment.
    bool linear = true;
    bool ended = false;
};

bool Fail(ParseState* state, std::string what) {
    state->error->what = std::move(what);
    return false;
}

bool AddData(ParseState* state, std::uint16_t offset, const std::uint8_t* data, std::size_t size) {
    if (state->linear) {
        const std::uint64_t address = std::uint64_t{state->base} + offset;
        if (address + size > 0x100000000ull) {
            return Fail(
                state, RecordText("data at 0x%llX runs past 4 GB", static_cast<unsigned long long>(address)));
        }
        return AddRecordBytes(state->image, static_cast<std::uint32_t>(address), data, size, state->error);
    }
    const std::size_t first = std::min<std::size_t>(size, 0x10000 - offset);
    return AddRecordBytes(state->image, state->base + offset, data, first, state->error) &&
           AddRecordBytes(state->image, state->base, data + first, size - first, state->error);
}

bool ParseRecord(ParseState* state, std::string_view line) {
    if (state->ended) {
        return Fail(state, "a record follows the end-of-file record");
    }
    if (line.front() != ':') {
        return Fail(state, "the line does not begin with ':'");
    }
    if (line.size() == 1) {
        return Fail(state, "nothing follows ':'");
    }
    std::uint8_t bytes[kMaxRecord];
    std::size_t count = 0;
    if (!DecodeRecordHex(line.substr(1), 5, "the colon", bytes, &count, state->error)) {
        return false;
    }
    const std::size_t length = bytes[0];
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i + 1 < count; ++i) {
        sum = static_cast<std::uint8_t>(sum + bytes[i]);
    }
    const auto want = static_cast<std::uint8_t>(-sum);
    if (bytes[count - 1] != want) {
        return Fail(state,
                    RecordText("checksum 0x%02X, the record calls for 0x%02X", bytes[count - 1], want));
    }
    const auto offset = static_cast<std::uint16_t>(bytes[1] << 8 | bytes[2]);
    const std::uint8_t type = bytes[3];
    const std::uint8_t* data = bytes + 4;
    std::size_t needed = 0;
    switch (type) {
    case kData:
        return AddData(state, offset, data, length);
    case kEndOfFile:
        needed = 0;
        break;
    case kSegmentAddress:
    case kLinearAddress:
        needed = 2;
        break;
    case kStartSegment:
    case kStartLinear:
        needed = 4;
        break;
    default:
        return Fail(state, RecordText("unknown record type 0x%02X", type));
    }
    if (length != needed) {
        return Fail(state, RecordText("a record of type 0x%02X holds %u data bytes, this one %u", type,
                                      static_cast<unsigned>(needed), static_cast<unsigned>(length)));
    }
    const std::uint32_t value = length == 2 ? std::uint32_t{data[0]} << 8 | data[1] : 0;
    if (type == kEndOfFile) {
        state->ended = true;
    } else if (type == kSegmentAddress) {
        state->base = value << 4;
        state->linear = false;
    } else if (type == kLinearAddress) {
        state->base = value << 16;
        state->linear = true;
    }
    // The start addresses say where a processor begins; they place no data.
    return true;
}

void AppendRecord(std::string* text, std::uint8_t type, std::uint16_t offset, const std::uint8_t* data,
                  std::size_t size) {
    const std::uint8_t head[4] = {static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(offset >> 8),
                                  static_cast<std::uint8_t>(offset), type};
    std::uint8_t sum = 0;
    text->push_back(':');
    for (std::uint8_t byte : head) {
        AppendHexByte(text, byte);
        sum = static_cast<std::uint8_t>(sum + byte);
    }
    for (std::size_t i = 0; i < size; ++i) {
        AppendHexByte(text, data[i]);
        sum = static_cast<std::uint8_t>(sum + data[i]);
    }
    AppendHexByte(text, static_cast<std::uint8_t>(-sum));
    text->append("\r\n");
}

} // namespace

bool ParseIntelHex(std::string_view text, RecordImage* image, RecordError* error) {
    ParseState state{image, error};
    return ParseRecordLines(text, state.ended, "the file ends without an end-of-file record", error,
                            [&](std::string_view line) { return ParseRecord(&state, line); });
}

std::string FormatIntelHex(const std::uint8_t* data, std::uint32_t size, std::uint32_t address) {
    constexpr std::uint32_t kPerRecord = 16;
    std::string text;
    text.reserve(std::size_t{size} / kPerRecord * 44 + 64);
    std::uint32_t upper = 0;
    std::uint64_t at = address;
    const std::uint64_t end = std::uint64_t{address} + size;
    while (at < end) {
        const auto high = static_cast<std::uint32_t>(at >> 16);
        if (high != upper) {
            const std::uint8_t value[2] = {static_cast<std::uint8_t>(high >> 8),
                                           static_cast<std::uint8_t>(high)};
            AppendRecord(&text, kLinearAddress, 0, value, 2);
            upper = high;
        }
        const std::uint64_t boundary = (at | 0xFFFF) + 1;
        const auto chunk =
            static_cast<std::uint32_t>(std::min<std::uint64_t>({kPerRecord, end - at, boundary - at}));
        AppendRecord(&text, kData, static_cast<std::uint16_t>(at), data + (at - address), chunk);
        at += chunk;
    }
    AppendRecord(&text, kEndOfFile, 0, nullptr, 0);
    return text;
}
