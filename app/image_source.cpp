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

bool ParseText(ImageSource* source, const char* path, const std::string& text, std::string* failure) {
    RecordImage records;
    RecordError error;
    if (!ParseImageRecords(source->format, text, &records, &error)) {
        *failure = RecordText("%s line %u: %s", path, error.line, error.what.c_str());
        return false;
    }
    source->records = std::move(records);
    return true;
}

} // namespace

bool LoadImageSource(ImageSource* source, const char* path, std::string* failure) {
    char head[kFormatHeadBytes];
    const std::uint32_t got =
        ReadImageAt(&source->file, 0, reinterpret_cast<std::uint8_t*>(head), sizeof head);
    source->format = DetectImageFormat(std::string_view(head, got));
    if (source->format == ImageFormat::Binary) {
        return true;
    }
    return ReadText(source, path, &source->text, failure) == TextRead::Done &&
           ParseText(source, path, source->text, failure);
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
    return ParseText(source, path, source->text, failure) ? SourceReload::Changed : SourceReload::Refused;
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
