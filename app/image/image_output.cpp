#include "image_output.h"

#include "image_format.h"
#include "image_source.h"

bool FitsReadOutput(const char* path, std::uint32_t fileAddress, std::uint32_t size, std::string* failure) {
    if (OutputImageFormat(path) == ImageFormat::Binary) {
        return true;
    }
    if (std::uint64_t{fileAddress} + size > 0x100000000ull) {
        *failure = "File address and size out of range";
        return false;
    }
    if (size > kMaxRecordLayout) {
        *failure =
            RecordText("%s: 0x%X bytes, more than the 16 MB a HEX or S-record image may span", path, size);
        return false;
    }
    return true;
}

bool SaveReadOutput(ImageFile* out, const char* path, std::uint32_t fileAddress, const std::uint8_t* data,
                    std::uint32_t size) {
    const ImageFormat format = OutputImageFormat(path);
    if (format == ImageFormat::Binary) {
        return WriteImageAt(out, fileAddress, data, size);
    }
    const std::string text = FormatImageRecords(format, data, size, fileAddress, path);
    return WriteImageAt(out, 0, reinterpret_cast<const std::uint8_t*>(text.data()),
                        static_cast<std::uint32_t>(text.size())) &&
           TruncateImage(out, text.size());
}
