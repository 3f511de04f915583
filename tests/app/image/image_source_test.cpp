#include "image_output.h"
#include "image_source.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> Text(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

const char kHex[] = ":02001000AABB89\r\n:00000001FF\r\n";

} // namespace

TEST(ImageFormat, TheContentDecidesNotTheName) {
    struct Case {
        std::string head;
        ImageFormat format;
    };
    const Case cases[] = {
        {kHex, ImageFormat::IntelHex},
        {"\r\n\r\n  :02001000AABB89", ImageFormat::IntelHex},
        {"\xEF\xBB\xBF:02001000AABB89", ImageFormat::IntelHex},
        // Two characters tell; the rest, however short or bad, is the parser's to refuse.
        {":0200100", ImageFormat::IntelHex},
        {":a", ImageFormat::IntelHex},
        {"S00600004844521B\n", ImageFormat::SRecord},
        {" \t\r\n\rs1050010aabb85", ImageFormat::SRecord},
        {"S1", ImageFormat::SRecord},
        {":", ImageFormat::Binary},
        // Binary images that begin like a record but hold bytes no text line holds.
        {std::string(":02\0"
                     "01000AABB89",
                     15),
         ImageFormat::Binary},
        {"S1\x05\x7F\n", ImageFormat::Binary},
        {":1\xC3\xA9", ImageFormat::Binary},
        {":G1", ImageFormat::Binary},
        {"SA050010AABB85", ImageFormat::Binary},
        {";comment\n:02001000AABB89\n", ImageFormat::Binary},
        {"\xEF\xBB\xBF", ImageFormat::Binary},
        {"", ImageFormat::Binary},
        {"\n\n", ImageFormat::Binary},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.head);
        EXPECT_EQ(DetectImageFormat(c.head), c.format);
    }
}

TEST(ImageFormat, AReadWritesTheFormatItsOutputIsNamedFor) {
    struct Case {
        const char* path;
        ImageFormat format;
    };
    const Case cases[] = {
        {"out.hex", ImageFormat::IntelHex},     {"C:\\Images\\OUT.HEX", ImageFormat::IntelHex},
        {"dir/out.ihx", ImageFormat::IntelHex}, {"out.s19", ImageFormat::SRecord},
        {"out.S28", ImageFormat::SRecord},      {"out.s37", ImageFormat::SRecord},
        {"out.srec", ImageFormat::SRecord},     {"out.mot", ImageFormat::SRecord},
        {"out.bin", ImageFormat::Binary},       {"out.hex.bin", ImageFormat::Binary},
        {"hex", ImageFormat::Binary},           {"out.s190", ImageFormat::Binary},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(OutputImageFormat(c.path), c.format);
    }
}

TEST(ImageSource, ARecordFileReadsAsItsFlatImageABinaryFileAsItIs) {
    TempDir dir;
    const std::string hex = dir.Path("image.hex");
    WriteFileBytes(hex, Text(kHex));
    ImageSource source;
    ASSERT_TRUE(OpenImage(&source.file, hex.c_str(), ImageOpen::ReadExisting));
    std::string failure;
    ASSERT_TRUE(LoadImageSource(&source, hex.c_str(), &failure)) << failure;
    EXPECT_EQ(SourceSize(&source), 0x12u);
    std::vector<std::uint8_t> bytes(4, 0);
    EXPECT_EQ(ReadSourceAt(&source, 0x10, bytes.data(), 4), 2u);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0xAA, 0xBB, 0xFF, 0xFF}));

    const std::string bin = dir.Path("image.bin");
    WriteFileBytes(bin, CountingBytes(0x20));
    ImageSource binary;
    ASSERT_TRUE(OpenImage(&binary.file, bin.c_str(), ImageOpen::ReadExisting));
    ASSERT_TRUE(LoadImageSource(&binary, bin.c_str(), &failure));
    EXPECT_EQ(binary.format, ImageFormat::Binary);
    EXPECT_EQ(SourceSize(&binary), 0x20u);
    EXPECT_EQ(ReadSourceAt(&binary, 0x1E, bytes.data(), 4), 2u);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x1E, 0x1F, 0xFF, 0xFF})) << "the rest is left as it was";
}

TEST(ImageSource, AFileNamedForRecordsIsNeverTakenAsRawBytes) {
    struct Case {
        const char* name;
        const char* text;
        ImageFormat format;
        // After the file's path; empty when it loads.
        const char* failure;
    };
    const Case cases[] = {
        {"boot.hex", "hello\n", ImageFormat::Binary,
         " is named like a HEX or S-record file but line 1 is not a record; rename it to write its bytes "
         "raw"},
        {"BOOT.S19", "\r\n\n;x\n", ImageFormat::Binary,
         " is named like a HEX or S-record file but line 3 is not a record; rename it to write its bytes "
         "raw"},
        // Nothing but blank lines: a save cut short, refused as its format refuses it.
        {"boot.ihx", "", ImageFormat::Binary, " line 1: the file ends without an end-of-file record"},
        {"boot.mot", "\n", ImageFormat::Binary,
         " line 2: the file ends without a termination record or record count"},
        // The name never decides how a file is parsed.
        {"boot.hex", "S1050010AABB85\nS5030001FB\n", ImageFormat::SRecord, ""},
        {"boot.bin", "hello\n", ImageFormat::Binary, ""},
        {"boot.bin", ":02000004", ImageFormat::Binary,
         " line 1: the record's length 0x02 calls for 14 hexadecimal digits after the colon, the line has 8"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + ": " + c.text);
        const std::string path = dir.Path(c.name);
        WriteFileBytes(path, Text(c.text));
        ImageSource source;
        ASSERT_TRUE(OpenImage(&source.file, path.c_str(), ImageOpen::ReadExisting));
        std::string failure;
        EXPECT_EQ(LoadImageSource(&source, path.c_str(), &failure), c.failure[0] == '\0');
        EXPECT_EQ(failure, c.failure[0] == '\0' ? "" : path + c.failure);
        EXPECT_EQ(source.format, c.format);
    }
}

TEST(ImageSource, ARecordFileIsDescribedByTheBytesItsRecordsGive) {
    struct Case {
        const char* text;
        const char* description;
    };
    const Case cases[] = {
        {kHex, ": Intel HEX, 0x02 bytes of data from 0x10 to 0x11"},
        // Two records with a gap: the bytes given, from the lowest address to the highest.
        {"S1050010AABB85\nS205010000AB4E\nS9030000FC\n",
         ": S-records, 0x03 bytes of data from 0x10 to 0x10000"},
        {":00000001FF\n", ": Intel HEX, no data"},
    };
    TempDir dir;
    const std::string path = dir.Path("image");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        WriteFileBytes(path, Text(c.text));
        ImageSource source;
        ASSERT_TRUE(OpenImage(&source.file, path.c_str(), ImageOpen::ReadExisting));
        std::string failure;
        ASSERT_TRUE(LoadImageSource(&source, path.c_str(), &failure)) << failure;
        EXPECT_EQ(DescribeRecords(&source, path.c_str()), path + c.description);
    }
}

TEST(ImageSource, FailuresNameTheFileAndTheLine) {
    TempDir dir;
    const std::string path = dir.Path("bad.s19");
    WriteFileBytes(path, Text("S00400007487\r\nS1050010AABB84\r\nS9030000FC\r\n"));
    ImageSource source;
    ASSERT_TRUE(OpenImage(&source.file, path.c_str(), ImageOpen::ReadExisting));
    std::string failure;
    EXPECT_FALSE(LoadImageSource(&source, path.c_str(), &failure));
    EXPECT_EQ(failure, path + " line 2: checksum 0x84, the record calls for 0x85");
}

TEST(ImageSource, MemoryIsBoundedWhateverTheFileClaims) {
    TempDir dir;
    // One record at 0xFFFFFF00: a flat image of 4 GB that is never laid out whole.
    const std::string top = dir.Path("top.hex");
    WriteFileBytes(top, Text(":02000004FFFFFC\n:03FF0000010203F8\n:00000001FF\n"));
    ImageSource source;
    ASSERT_TRUE(OpenImage(&source.file, top.c_str(), ImageOpen::ReadExisting));
    std::string failure;
    ASSERT_TRUE(LoadImageSource(&source, top.c_str(), &failure)) << failure;
    EXPECT_EQ(SourceSize(&source), 0xFFFFFF03u);
    EXPECT_TRUE(FitsRecordLayout(&source, top.c_str(), kMaxRecordLayout, &failure));
    EXPECT_FALSE(FitsRecordLayout(&source, top.c_str(), 0xFFFFFF03u, &failure));
    EXPECT_EQ(failure, top + ": 0xFFFFFF03 bytes, more than the 16 MB a HEX or S-record image may span here; "
                             "give a file address and a size");
    std::vector<std::uint8_t> bytes(4);
    EXPECT_EQ(ReadSourceAt(&source, 0xFFFFFF00, bytes.data(), 4), 3u);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{1, 2, 3, 0xFF}));

    // A record file is read whole, so its length is bounded too (the test file is sparse).
    const std::string huge = dir.Path("huge.hex");
    WriteFileBytes(huge, Text(kHex));
    std::filesystem::resize_file(huge, kMaxRecordText + 1);
    ImageSource large;
    ASSERT_TRUE(OpenImage(&large.file, huge.c_str(), ImageOpen::ReadExisting));
    EXPECT_FALSE(LoadImageSource(&large, huge.c_str(), &failure));
    EXPECT_EQ(failure, huge + ": 0x4000001 bytes, more than the 64 MB a HEX or S-record file may hold");

    // A binary file has no layout limit: its bytes are only as many as it holds.
    const std::string bin = dir.Path("big.bin");
    WriteFileBytes(bin, CountingBytes(16));
    ImageSource binary;
    ASSERT_TRUE(OpenImage(&binary.file, bin.c_str(), ImageOpen::ReadExisting));
    ASSERT_TRUE(LoadImageSource(&binary, bin.c_str(), &failure));
    EXPECT_TRUE(FitsRecordLayout(&binary, bin.c_str(), 0xFFFFFFFFu, &failure));
}

TEST(ImageSource, AReloadTakesGoodSavesAndReportsABadOneOnce) {
    TempDir dir;
    const std::string path = dir.Path("watched.hex");
    WriteFileBytes(path, Text(kHex));
    ImageSource source;
    ASSERT_TRUE(OpenImage(&source.file, path.c_str(), ImageOpen::Watch));
    std::string failure;
    ASSERT_TRUE(LoadImageSource(&source, path.c_str(), &failure));
    EXPECT_EQ(ReloadImageSource(&source, path.c_str(), &failure), SourceReload::Unchanged);

    // Cut short while being saved: refused once, the records as they were.
    WriteFileBytes(path, Text(":02001000CCDD45\r\n"));
    EXPECT_EQ(ReloadImageSource(&source, path.c_str(), &failure), SourceReload::Refused);
    EXPECT_EQ(failure, path + " line 2: the file ends without an end-of-file record");
    EXPECT_EQ(ReloadImageSource(&source, path.c_str(), &failure), SourceReload::Unchanged);
    std::vector<std::uint8_t> bytes(2);
    ReadSourceAt(&source, 0x10, bytes.data(), 2);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0xAA, 0xBB}));

    WriteFileBytes(path, Text(":02001000CCDD45\r\n:00000001FF\r\n"));
    EXPECT_EQ(ReloadImageSource(&source, path.c_str(), &failure), SourceReload::Changed);
    ReadSourceAt(&source, 0x10, bytes.data(), 2);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0xCC, 0xDD}));
}

TEST(ImageSource, AReloadFollowsAChangeOfFormatButNeverTurnsToRawBytes) {
    struct Save {
        const char* text;
        SourceReload reload;
        ImageFormat format;
        // After the file's path when refused.
        const char* failure;
    };
    // The byte at 0x10 after each save; refused saves keep the records before them.
    const Save saves[] = {
        {"S1040010CC1F\nS9030000FC\n", SourceReload::Changed, ImageFormat::SRecord, ""},
        {":01001000DD12\n:00000001FF\n", SourceReload::Changed, ImageFormat::IntelHex, ""},
        {"\x01\x02\x03", SourceReload::Refused, ImageFormat::IntelHex,
         " is named like a HEX or S-record file but line 1 is not a record; rename it to write its bytes "
         "raw"},
        {"", SourceReload::Refused, ImageFormat::IntelHex,
         " line 1: the file ends without an end-of-file record"},
        {"s1040010eefd\n", SourceReload::Refused, ImageFormat::IntelHex,
         " line 2: the file ends without a termination record or record count"},
        {"s1040010eefd\ns9030000fc\n", SourceReload::Changed, ImageFormat::SRecord, ""},
    };
    const std::uint8_t bytes[] = {0xCC, 0xDD, 0xDD, 0xDD, 0xDD, 0xEE};
    TempDir dir;
    const std::string path = dir.Path("watched.hex");
    WriteFileBytes(path, Text(kHex));
    ImageSource source;
    ASSERT_TRUE(OpenImage(&source.file, path.c_str(), ImageOpen::Watch));
    std::string failure;
    ASSERT_TRUE(LoadImageSource(&source, path.c_str(), &failure));
    for (std::size_t i = 0; i < std::size(saves); ++i) {
        const Save& save = saves[i];
        SCOPED_TRACE(save.text);
        WriteFileBytes(path, Text(save.text));
        failure.clear();
        EXPECT_EQ(ReloadImageSource(&source, path.c_str(), &failure), save.reload);
        EXPECT_EQ(failure, save.reload == SourceReload::Refused ? path + save.failure : "");
        EXPECT_EQ(source.format, save.format);
        std::uint8_t at = 0;
        ReadSourceAt(&source, 0x10, &at, 1);
        EXPECT_EQ(at, bytes[i]);
    }

    // Without a record file's name, the refusal says why raw bytes are not taken.
    const std::string other = dir.Path("watched.txt");
    WriteFileBytes(other, Text(kHex));
    ImageSource text;
    ASSERT_TRUE(OpenImage(&text.file, other.c_str(), ImageOpen::Watch));
    ASSERT_TRUE(LoadImageSource(&text, other.c_str(), &failure));
    WriteFileBytes(other, Text("\nraw"));
    EXPECT_EQ(ReloadImageSource(&text, other.c_str(), &failure), SourceReload::Refused);
    EXPECT_EQ(failure, other + " line 2 is not a record, and monitoring began with HEX or S-records");
}

TEST(ImageOutput, ARecordOutputReplacesTheFileABinaryOneKeepsItsRest) {
    TempDir dir;
    const std::uint8_t data[2] = {1, 2};
    const std::string hex = dir.Path("out.hex");
    WriteFileBytes(hex, std::vector<std::uint8_t>(200, 'x'));
    {
        ImageFile out;
        ASSERT_TRUE(OpenImage(&out, hex.c_str(), ImageOpen::WriteKeep));
        ASSERT_TRUE(SaveReadOutput(&out, hex.c_str(), 0x1234, data, 2));
    }
    EXPECT_EQ(ReadFileBytes(hex), Text(":021234000102B5\r\n:00000001FF\r\n"));

    const std::string srec = dir.Path("out.mot");
    {
        ImageFile out;
        ASSERT_TRUE(OpenImage(&out, srec.c_str(), ImageOpen::WriteKeep));
        ASSERT_TRUE(SaveReadOutput(&out, srec.c_str(), 0x1234, data, 2));
    }
    // The header holds the file's name without its folders.
    EXPECT_EQ(ReadFileBytes(srec), Text("S00A00006F75742E6D6F741F\r\nS10512340102B1\r\nS9030000FC\r\n"));

    const std::string bin = dir.Path("out.bin");
    WriteFileBytes(bin, CountingBytes(8));
    {
        ImageFile out;
        ASSERT_TRUE(OpenImage(&out, bin.c_str(), ImageOpen::WriteKeep));
        ASSERT_TRUE(SaveReadOutput(&out, bin.c_str(), 2, data, 2));
    }
    EXPECT_EQ(ReadFileBytes(bin), (std::vector<std::uint8_t>{0, 1, 1, 2, 4, 5, 6, 7}));
}

TEST(ImageOutput, RecordsMustEndWithin4GbAndStayWithinTheLayoutLimit) {
    std::string failure;
    EXPECT_TRUE(FitsReadOutput("out.hex", 0xFFFFFF00, 0x100, &failure));
    EXPECT_FALSE(FitsReadOutput("out.hex", 0xFFFFFF00, 0x101, &failure));
    EXPECT_EQ(failure, "File address and size out of range");
    EXPECT_FALSE(FitsReadOutput("out.s19", 0, kMaxRecordLayout + 1, &failure));
    EXPECT_EQ(failure, "out.s19: 0x1000001 bytes, more than the 16 MB a HEX or S-record image may span");
    EXPECT_TRUE(FitsReadOutput("out.bin", 0xFFFFFF00, 0x1000000, &failure));
}
