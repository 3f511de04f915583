#include "image_format.h"

#include "intel_hex.h"
#include "srecord.h"

#include <cctype>

namespace {

// `text` begins with at least `least` hexadecimal digits.
bool BeginsWithHex(std::string_view text, std::size_t least) {
    if (text.size() < least) {
        return false;
    }
    for (std::size_t i = 0; i < least; ++i) {
        if (std::isxdigit(static_cast<unsigned char>(text[i])) == 0) {
            return false;
        }
    }
    return true;
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

ImageFormat DetectImageFormat(std::string_view head) {
    std::size_t start = head.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) {
        return ImageFormat::Binary;
    }
    head = head.substr(start);
    if (head[0] == ':' && BeginsWithHex(head.substr(1), 10)) {
        return ImageFormat::IntelHex;
    }
    if (head.size() >= 2 && head[0] == 'S' && head[1] >= '0' && head[1] <= '9' &&
        BeginsWithHex(head.substr(2), 8)) {
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
