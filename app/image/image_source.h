#pragma once
#include "image_file.h"
#include "image_format.h"
#include "record_image.h"

#include <cstdint>
#include <string>

// A HEX or S-record image is laid out in memory only for the bytes an operation takes, and for at
// most this many (16 MB, far above any emulator's RAM): a record near the top of the 4 GB address
// space must not make the program ask for 4 GB.
constexpr std::uint32_t kMaxRecordLayout = 0x1000000;

// A HEX or S-record file is read whole, and at most this many bytes of it (64 MB; the records of
// a full 16 MB layout take about 45 MB).
constexpr std::uint64_t kMaxRecordText = 0x4000000;

// The bytes a write, verify or monitor takes from its file: a binary file as it is, or the flat
// image that a HEX or S-record file's records describe.
struct ImageSource {
    ImageFile file;
    ImageFormat format = ImageFormat::Binary;
    RecordImage records;
    // The text the records were read from.
    std::string text;
};

// Tells the format of the open file by its content and, for a HEX or S-record file, reads its
// records. False with `failure` set (the line after "FAILURE: ") when the file cannot be read, a
// record is bad ("<path> line N: <what is wrong>"), or the file is named like a record file but
// holds none: its name never decides how it is parsed, only that it is not taken as raw bytes.
bool LoadImageSource(ImageSource* source, const char* path, std::string* failure);

enum class SourceReload { Unchanged, Changed, Refused };

// Reads a HEX or S-record file again, telling its format anew: Changed with the new records when
// its text changed and every record is good, whichever of the two formats it now holds; Refused
// with `failure` set and the records kept when a record of a new text is bad (a save still being
// written, say), the text is no longer records, or the file has grown too large; Unchanged
// otherwise (also when the read falls short), and always for a binary file.
SourceReload ReloadImageSource(ImageSource* source, const char* path, std::string* failure);

// What a HEX or S-record file was read as, for the line before a transfer:
// "boot.hex: Intel HEX, 0x3000 bytes of data from 0x1000 to 0x3FFF" (the bytes its records give,
// from the lowest address given to the highest).
std::string DescribeRecords(const ImageSource* source, const char* path);

// The size of the image: the file's length, or one past the highest address a record gives.
std::uint64_t SourceSize(const ImageSource* source);

// Reads up to `size` bytes of the image from `offset`; returns how many lie within it. A binary
// file leaves the rest of the buffer as it was; a record image fills it all, 0xFF wherever no
// record gives a value.
std::uint32_t ReadSourceAt(ImageSource* source, std::uint64_t offset, std::uint8_t* buffer,
                           std::uint32_t size);

// False with `failure` set when `size` bytes of a record image are more than kMaxRecordLayout;
// always true for a binary file, whose bytes are only as many as the file holds.
bool FitsRecordLayout(const ImageSource* source, const char* path, std::uint64_t size, std::string* failure);
