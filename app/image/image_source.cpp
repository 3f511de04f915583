#include "image_source.h"

#include <utility>

namespace {

enum class TextRead { Done, TooLarge, Short };

// The whole file as text, at most kMaxRecordText bytes of it.
TextRead ReadText(ImageSource* source, const char* path, std::string* text, std::string* failure) {
    const std::uint64_t size = ImageSize(&source->file);
    if (size > kMaxRecordText) {
        *failure = RecordText("%s: 0x%llX bytes, more than the 64 MB a HEX or S-record file may hold", path,
                              static_cast<unsigned long long>(size));
        return TextRead::TooLarge;
    }
    text->resize(static_cast<std::size_t>(size));
    const std::uint32_t got = ReadImageAt(&source->file, 0, reinterpret_cast<std::uint8_t*>(text->data()),
                                          static_cast<std::uint32_t>(size));
    if (got != size) {
        *failure = RecordText("%s: could not read the file", path);
        return TextRead::Short;
    }
    return TextRead::Done;
}

bool ParseText(ImageSource* source, ImageFormat format, const char* path, const std::string& text,
               std::string* failure) {
    RecordImage records;
    RecordError error;
    if (!ParseImageRecords(format, text, &records, &error)) {
        *failure = RecordText("%s line %u: %s", path, error.line, error.what.c_str());
        return false;
    }
    source->format = format;
    source->records = std::move(records);
    return true;
}

std::string NamedLikeRecords(const char* path, std::uint32_t line) {
    return RecordText(
        "%s is named like a HEX or S-record file but line %u is not a record; rename it to write "
        "its bytes raw",
        path, line);
}

} // namespace

bool LoadImageSource(ImageSource* source, const char* path, std::string* failure) {
    char head[kFormatHeadBytes];
    const std::uint32_t got =
        ReadImageAt(&source->file, 0, reinterpret_cast<std::uint8_t*>(head), sizeof head);
    const std::string_view start(head, got);
    ImageFormat format = DetectImageFormat(start);
    if (format == ImageFormat::Binary) {
        // A file named for records that holds none is far more likely a mistake than an image.
        const ImageFormat named = OutputImageFormat(path);
        if (named == ImageFormat::Binary) {
            source->format = ImageFormat::Binary;
            return true;
        }
        const FirstLine first = FindFirstLine(start);
        if (first.number != 0) {
            *failure = NamedLikeRecords(path, first.number);
            return false;
        }
        // Only blank lines: refused as that format refuses a file without its end record.
        format = named;
    }
    return ReadText(source, path, &source->text, failure) == TextRead::Done &&
           ParseText(source, format, path, source->text, failure);
}

SourceReload ReloadImageSource(ImageSource* source, const char* path, std::string* failure) {
    if (source->format == ImageFormat::Binary) {
        return SourceReload::Unchanged;
    }
    std::string text;
    switch (ReadText(source, path, &text, failure)) {
    case TextRead::TooLarge:
        return SourceReload::Refused;
    case TextRead::Short:
        // As with a binary file: what the read does not deliver keeps its value until the next look.
        return SourceReload::Unchanged;
    case TextRead::Done:
        break;
    }
    if (text == source->text) {
        return SourceReload::Unchanged;
    }
    // Kept also when refused, so that a bad save is read and reported once, not at every look.
    source->text = std::move(text);
    // Each save is told by its content, so HEX may become S-records and back; but a file watched
    // as records is never taken as raw bytes, whose size and meaning are another image's.
    ImageFormat format = DetectImageFormat(source->text);
    if (format == ImageFormat::Binary) {
        const FirstLine first = FindFirstLine(source->text);
        if (first.number != 0) {
            *failure =
                OutputImageFormat(path) != ImageFormat::Binary
                    ? NamedLikeRecords(path, first.number)
                    : RecordText("%s line %u is not a record, and monitoring began with HEX or S-records",
                                 path, first.number);
            return SourceReload::Refused;
        }
        format = source->format;
    }
    return ParseText(source, format, path, source->text, failure) ? SourceReload::Changed
                                                                  : SourceReload::Refused;
}

std::string DescribeRecords(const ImageSource* source, const char* path) {
    std::uint64_t bytes = 0;
    for (const auto& run : source->records.runs) {
        bytes += run.second.size();
    }
    const char* name = ImageFormatName(source->format);
    if (bytes == 0) {
        return RecordText("%s: %s, no data", path, name);
    }
    return RecordText("%s: %s, 0x%.2llX bytes of data from 0x%.2X to 0x%.2llX", path, name,
                      static_cast<unsigned long long>(bytes), source->records.runs.begin()->first,
                      static_cast<unsigned long long>(source->records.end - 1));
}

std::uint64_t SourceSize(const ImageSource* source) {
    return source->format == ImageFormat::Binary ? ImageSize(&source->file) : source->records.end;
}

std::uint32_t ReadSourceAt(ImageSource* source, std::uint64_t offset, std::uint8_t* buffer,
                           std::uint32_t size) {
    if (source->format == ImageFormat::Binary) {
        return ReadImageAt(&source->file, offset, buffer, size);
    }
    return ReadRecordImageAt(source->records, offset, buffer, size);
}

bool FitsRecordLayout(const ImageSource* source, const char* path, std::uint64_t size, std::string* failure) {
    if (source->format == ImageFormat::Binary || size <= kMaxRecordLayout) {
        return true;
    }
    *failure = RecordText("%s: 0x%llX bytes, more than the 16 MB a HEX or S-record image may span here; "
                          "give a file address and a size",
                          path, static_cast<unsigned long long>(size));
    return false;
}
