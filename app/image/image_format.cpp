#include "image_format.h"

#include "intel_hex.h"
#include "srecord.h"

#include <algorithm>
#include <cctype>

namespace {

// A record file is plain text: a control character or a byte above 0x7E in its first line marks
// a binary image that merely begins like a record, as about one in 1600 would.
bool IsTextCharacter(char c) {
    const auto code = static_cast<unsigned char>(c);
    return (code >= 0x20 && code < 0x7F) || c == '\t';
}

bool EndsWith(std::string_view name, std::string_view suffix) {
    if (name.size() < suffix.size()) {
        return false;
    }
    std::string_view tail = name.substr(name.size() - suffix.size());
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(tail[i])) != suffix[i]) {
            return false;
        }
    }
    return true;
}

// The name without its folders, for the S-record header.
std::string_view BaseName(std::string_view path) {
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace

FirstLine FindFirstLine(std::string_view text) {
    std::size_t at = text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    std::uint32_t number = 1;
    while (at < text.size()) {
        const char c = text[at];
        if (c == ' ' || c == '\t') {
            ++at;
        } else if (c == '\n' || c == '\r') {
            ++number;
            at += c == '\r' && at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1;
        } else {
            return {text.substr(at, text.find_first_of("\r\n", at) - at), number};
        }
    }
    return {{}, 0};
}

ImageFormat DetectImageFormat(std::string_view head) {
    const std::string_view line = FindFirstLine(head).text;
    if (line.size() < 2 || !std::all_of(line.begin(), line.end(), IsTextCharacter)) {
        return ImageFormat::Binary;
    }
    if (line[0] == ':' && std::isxdigit(static_cast<unsigned char>(line[1])) != 0) {
        return ImageFormat::IntelHex;
    }
    if ((line[0] == 'S' || line[0] == 's') && line[1] >= '0' && line[1] <= '9') {
        return ImageFormat::SRecord;
    }
    return ImageFormat::Binary;
}

ImageFormat OutputImageFormat(const char* path) {
    std::string_view name = path;
    for (const char* suffix : {".hex", ".ihx"}) {
        if (EndsWith(name, suffix)) {
            return ImageFormat::IntelHex;
        }
    }
    for (const char* suffix : {".s19", ".s28", ".s37", ".srec", ".mot"}) {
        if (EndsWith(name, suffix)) {
            return ImageFormat::SRecord;
        }
    }
    return ImageFormat::Binary;
}

bool ParseImageRecords(ImageFormat format, std::string_view text, RecordImage* image, RecordError* error) {
    return format == ImageFormat::IntelHex ? ParseIntelHex(text, image, error)
                                           : ParseSRecords(text, image, error);
}

std::string FormatImageRecords(ImageFormat format, const std::uint8_t* data, std::uint32_t size,
                               std::uint32_t address, std::string_view name) {
    return format == ImageFormat::IntelHex ? FormatIntelHex(data, size, address)
                                           : FormatSRecords(data, size, address, BaseName(name));
}

const char* ImageFormatName(ImageFormat format) {
    switch (format) {
    case ImageFormat::IntelHex:
        return "Intel HEX";
    case ImageFormat::SRecord:
        return "S-records";
    case ImageFormat::Binary:
        break;
    }
    return "binary";
}
