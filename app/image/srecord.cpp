#include "srecord.h"

#include <algorithm>
#include <utility>

namespace {

// Length, at most 4 address bytes, data and checksum: the length byte counts up to 255 of them.
constexpr std::size_t kMaxRecord = 1 + 255;

// Address bytes of each record type; 0 for the reserved S4 and for anything that is not a type.
constexpr std::size_t kAddressBytes[10] = {2, 2, 3, 4, 0, 2, 3, 4, 3, 2};

struct ParseState {
    RecordImage* image;
    RecordError* error;
    std::uint32_t dataRecords = 0;
    // After a termination record nothing may follow.
    bool ended = false;
    // The file may end here: after a termination record, or after a record count that matched
    // (the usual converter ends its files so, without a termination record).
    bool complete = false;
};

bool Fail(ParseState* state, std::string what) {
    state->error->what = std::move(what);
    return false;
}

bool ParseRecord(ParseState* state, std::string_view line) {
    if (state->ended) {
        return Fail(state, "a record follows the termination record");
    }
    state->complete = false;
    if (line.front() != 'S' && line.front() != 's') {
        return Fail(state, "the line does not begin with 'S'");
    }
    if (line.size() < 2) {
        return Fail(state, RecordText("nothing follows '%c'", line[0]));
    }
    if (line[1] < '0' || line[1] > '9' || kAddressBytes[line[1] - '0'] == 0) {
        const auto code = static_cast<unsigned char>(line[1]);
        return code > 0x20 && code < 0x7F
                   ? Fail(state, RecordText("unknown record type '%c%c'", line[0], line[1]))
                   : Fail(state,
                          RecordText("unknown record type: '%c' and the character 0x%02X", line[0], code));
    }
    const int type = line[1] - '0';
    const std::size_t addressBytes = kAddressBytes[type];
    const std::string leader = RecordText("'%c%c'", line[0], line[1]);
    if (line.size() == 2) {
        return Fail(state, RecordText("nothing follows %s", leader.c_str()));
    }
    std::uint8_t bytes[kMaxRecord];
    std::size_t count = 0;
    if (!DecodeRecordHex(line.substr(2), 1, leader.c_str(), bytes, &count, state->error)) {
        return false;
    }
    if (bytes[0] < addressBytes + 1) {
        return Fail(state,
                    RecordText("the length 0x%02X leaves no room for an address of %u bytes and the checksum",
                               bytes[0], static_cast<unsigned>(addressBytes)));
    }
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i + 1 < count; ++i) {
        sum = static_cast<std::uint8_t>(sum + bytes[i]);
    }
    const auto want = static_cast<std::uint8_t>(~sum);
    if (bytes[count - 1] != want) {
        return Fail(state,
                    RecordText("checksum 0x%02X, the record calls for 0x%02X", bytes[count - 1], want));
    }
    std::uint32_t address = 0;
    for (std::size_t i = 0; i < addressBytes; ++i) {
        address = address << 8 | bytes[1 + i];
    }
    const std::uint8_t* data = bytes + 1 + addressBytes;
    const std::size_t size = count - 2 - addressBytes;
    switch (type) {
    case 1:
    case 2:
    case 3:
        if (std::uint64_t{address} + size > 0x100000000ull) {
            return Fail(state, RecordText("data at 0x%X runs past 4 GB", address));
        }
        ++state->dataRecords;
        return AddRecordBytes(state->image, address, data, size, state->error);
    case 5:
    case 6:
        // A count that disagrees means records were lost or doubled on the way.
        if (address != state->dataRecords) {
            return Fail(state, RecordText("the record count says %u data records, %u came before it", address,
                                          state->dataRecords));
        }
        state->complete = true;
        return true;
    case 7:
    case 8:
    case 9:
        state->ended = true;
        state->complete = true;
        return true;
    default:
        // The header names the file; it places no data.
        return true;
    }
}

void AppendRecord(std::string* text, int type, std::uint32_t address, std::size_t addressBytes,
                  const std::uint8_t* data, std::size_t size) {
    std::uint8_t sum = static_cast<std::uint8_t>(addressBytes + size + 1);
    text->push_back('S');
    text->push_back(static_cast<char>('0' + type));
    AppendHexByte(text, sum);
    for (std::size_t i = addressBytes; i-- > 0;) {
        const auto byte = static_cast<std::uint8_t>(address >> (8 * i));
        AppendHexByte(text, byte);
        sum = static_cast<std::uint8_t>(sum + byte);
    }
    for (std::size_t i = 0; i < size; ++i) {
        AppendHexByte(text, data[i]);
        sum = static_cast<std::uint8_t>(sum + data[i]);
    }
    AppendHexByte(text, static_cast<std::uint8_t>(~sum));
    text->append("\r\n");
}

} // namespace

bool ParseSRecords(std::string_view text, RecordImage* image, RecordError* error) {
    ParseState state{image, error};
    return ParseRecordLines(text, state.complete,
                            "the file ends without a termination record or record count", error,
                            [&](std::string_view line) { return ParseRecord(&state, line); });
}

std::string FormatSRecords(const std::uint8_t* data, std::uint32_t size, std::uint32_t address,
                           std::string_view header) {
    constexpr std::uint32_t kPerRecord = 16;
    const std::uint32_t last = size == 0 ? address : address + (size - 1);
    const int type = last <= 0xFFFF ? 1 : last <= 0xFFFFFF ? 2 : 3;
    const std::size_t addressBytes = kAddressBytes[type];
    std::string text;
    text.reserve(std::size_t{size} / kPerRecord * 48 + 128);
    header = header.substr(0, 64);
    AppendRecord(&text, 0, 0, 2, reinterpret_cast<const std::uint8_t*>(header.data()), header.size());
    for (std::uint32_t done = 0; done < size;) {
        const std::uint32_t chunk = std::min(kPerRecord, size - done);
        AppendRecord(&text, type, address + done, addressBytes, data + done, chunk);
        done += chunk;
    }
    // S1 data ends with S9, S2 with S8, S3 with S7.
    AppendRecord(&text, 10 - type, 0, addressBytes, nullptr, 0);
    return text;
}
