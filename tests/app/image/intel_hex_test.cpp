#include "flat_bytes.h"
#include "intel_hex.h"
#include "test_bytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(IntelHex, SegmentAddressesWrapWithinTheirSegmentLinearOnesRunOn) {
    // As another tool writes it: CR LF, a segment address, a start address; and as people edit
    // it: lower-case digits, blank lines, blanks around a record.
    const std::string text = ":020000021000EC\r\n"
                             ":04fffe001122334455\r\n"
                             "\r\n"
                             "  :020000040002F8\t\n"
                             ":04FFFE005566778845\n"
                             ":0400000300001000E9\n"
                             ":0400000512345678E3\n"
                             ":00000001FF\n";
    RecordImage image;
    RecordError error;
    ASSERT_TRUE(ParseIntelHex(text, &image, &error)) << error.line << ": " << error.what;
    EXPECT_EQ(FlatBytes(image, 0x1FFFE, 2), (std::vector<std::uint8_t>{0x11, 0x22}));
    EXPECT_EQ(FlatBytes(image, 0x10000, 3), (std::vector<std::uint8_t>{0x33, 0x44, 0xFF}));
    EXPECT_EQ(FlatBytes(image, 0x2FFFE, 4), (std::vector<std::uint8_t>{0x55, 0x66, 0x77, 0x88}));
    EXPECT_EQ(image.end, 0x30002u);
}

TEST(IntelHex, DataBeforeAnyAddressRecordRunsOnPast64KbASegmentOfZeroWraps) {
    struct Case {
        const char* text;
        std::uint32_t second;
        std::uint64_t end;
    };
    // The first with a byte-order mark, as some editors save it.
    const Case cases[] = {
        {"\xEF\xBB\xBF:04FFFE001122334455\r\n:00000001FF\r\n", 0x10000, 0x10002},
        {":020000020000FC\n:04FFFE001122334455\n:00000001FF\n", 0x0000, 0x10000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        RecordImage image;
        RecordError error;
        ASSERT_TRUE(ParseIntelHex(c.text, &image, &error)) << error.line << ": " << error.what;
        EXPECT_EQ(FlatBytes(image, 0xFFFE, 2), (std::vector<std::uint8_t>{0x11, 0x22}));
        EXPECT_EQ(FlatBytes(image, c.second, 2), (std::vector<std::uint8_t>{0x33, 0x44}));
        EXPECT_EQ(image.end, c.end);
    }
}

TEST(IntelHex, BadRecordsAreRefusedWithTheirLineAndWhatIsWrong) {
    struct Case {
        const char* text;
        std::uint32_t line;
        const char* what;
    };
    const Case cases[] = {
        {":02001000AABB88\n:00000001FF\n", 1, "checksum 0x88, the record calls for 0x89"},
        {":02001000AAXB89\n:00000001FF\n", 1, "'X' is not a hexadecimal digit"},
        {":02001000AA\x01"
         "B89\n:00000001FF\n",
         1, "the character 0x01 is not a hexadecimal digit"},
        // Digits are counted as the user sees them, after the colon.
        {":1000000000112233\n:00000001FF\n", 1,
         "the record's length 0x10 calls for 42 hexadecimal digits after the colon, the line has 16"},
        {":03001000AABB89\n:00000001FF\n", 1,
         "the record's length 0x03 calls for 16 hexadecimal digits after the colon, the line has 14"},
        {":02001000AABB8\n:00000001FF\n", 1,
         "the record's length 0x02 calls for 14 hexadecimal digits after the colon, the line has 13"},
        // A save cut short within its first line.
        {":02000004", 1,
         "the record's length 0x02 calls for 14 hexadecimal digits after the colon, the line has 8"},
        {":1", 1, "the record's length takes 2 hexadecimal digits after the colon, the line has 1"},
        {":\n", 1, "nothing follows ':'"},
        {"\xEF\xBB\xBF:02001000AABB88\n", 1, "checksum 0x88, the record calls for 0x89"},
        {"\n\n;comment\n", 3, "the line does not begin with ':'"},
        {":00000006FA\n", 1, "unknown record type 0x06"},
        {":0100000100FE\n", 1, "a record of type 0x01 holds 0 data bytes, this one 1"},
        {":0100000200FD\n", 1, "a record of type 0x02 holds 2 data bytes, this one 1"},
        {":02000004FFFFFC\n:10FFF1000000000000000000000000000000000000\n:00000001FF\n", 2,
         "data at 0xFFFFFFF1 runs past 4 GB"},
        {":02001000AABB89\n:01001100BC32\n:00000001FF\n", 2,
         "address 0x11 already holds 0xBB, this record gives 0xBC"},
        {":00000001FF\n:02001000AABB89\n", 2, "a record follows the end-of-file record"},
        // A save cut short must not pass for the whole file.
        {":02001000AABB89\n", 2, "the file ends without an end-of-file record"},
        {":02001000AABB89", 2, "the file ends without an end-of-file record"},
        {"", 1, "the file ends without an end-of-file record"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        RecordImage image;
        RecordError error;
        EXPECT_FALSE(ParseIntelHex(c.text, &image, &error));
        EXPECT_EQ(error.line, c.line);
        EXPECT_EQ(error.what, c.what);
    }
}

TEST(IntelHex, TheSameValueTwiceAndDataEndingExactlyAt4GbAreFine) {
    const std::string text = ":02001000AABB89\n"
                             ":02001100BBCC66\n"
                             ":02000004FFFFFC\n"
                             ":10FFF0000000000000000000000000000000000001\n"
                             ":00000001FF\n";
    RecordImage image;
    RecordError error;
    ASSERT_TRUE(ParseIntelHex(text, &image, &error)) << error.line << ": " << error.what;
    EXPECT_EQ(FlatBytes(image, 0x10, 3), (std::vector<std::uint8_t>{0xAA, 0xBB, 0xCC}));
    EXPECT_EQ(image.end, 0x100000000u);
}

TEST(IntelHex, WrittenRecordsAreTheShortestForm) {
    const std::uint8_t data[2] = {1, 2};
    EXPECT_EQ(FormatIntelHex(data, 2, 0x1234), ":021234000102B5\r\n:00000001FF\r\n");
    EXPECT_EQ(FormatIntelHex(data, 2, 0x12341234), ":020000041234B4\r\n:021234000102B5\r\n:00000001FF\r\n");
}

TEST(IntelHex, WrittenImagesReadBackAtTheirAddresses) {
    struct Case {
        std::uint32_t address;
        std::uint32_t size;
    };
    // Below 64 KB, across one and two 64 KB boundaries (records must not wrap there), and up to
    // the last byte below 4 GB.
    const Case cases[] = {
        {0, 1}, {0x1000, 0x123}, {0xFFF8, 0x20}, {0x2FFFF, 0x10002}, {0xFFFFFFF0, 0x10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        const std::vector<std::uint8_t> data = Pattern(c.size, c.address);
        const std::string text = FormatIntelHex(data.data(), c.size, c.address);
        RecordImage image;
        RecordError error;
        ASSERT_TRUE(ParseIntelHex(text, &image, &error)) << error.line << ": " << error.what;
        ASSERT_EQ(image.end, std::uint64_t{c.address} + c.size);
        EXPECT_EQ(FlatBytes(image, c.address, c.size), data);
        if (c.address > 0) {
            EXPECT_EQ(FlatBytes(image, c.address - 1, 1), std::vector<std::uint8_t>{0xFF});
        }
        EXPECT_EQ(text.find(":02000004") == std::string::npos, std::uint64_t{c.address} + c.size <= 0x10000);
    }
}
