#include "flat_bytes.h"
#include "srecord.h"
#include "test_bytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(SRecords, EveryDataFormLandsAtItsAddressAndCountsAreChecked) {
    const std::string text = "S00600004844521B\r\n"
                             "S1050010AABB85\r\n"
                             "\r\n"
                             " S205010000ab4e \r\n"
                             "S30601000000CD2B\n"
                             "S604000003F8\n"
                             "S9030000FC\n";
    RecordImage image;
    RecordError error;
    ASSERT_TRUE(ParseSRecords(text, &image, &error)) << error.line << ": " << error.what;
    EXPECT_EQ(FlatBytes(image, 0x10, 3), (std::vector<std::uint8_t>{0xAA, 0xBB, 0xFF}));
    EXPECT_EQ(FlatBytes(image, 0x10000, 1), std::vector<std::uint8_t>{0xAB});
    EXPECT_EQ(FlatBytes(image, 0x1000000, 1), std::vector<std::uint8_t>{0xCD});
    EXPECT_EQ(image.end, 0x1000001u);
}

TEST(SRecords, LettersInEitherCaseAndAMatchingCountAtTheEndMakeAWholeFile) {
    struct Case {
        const char* text;
        std::uint64_t end;
        std::uint8_t last;
    };
    // A converter's default output ends with its record count and no termination record.
    const Case cases[] = {
        {"s1050010aabb85\nS1040012CC1D\ns9030000fc\n", 0x13, 0xCC},
        {"S00600004844521B\nS1050010AABB85\ns1040012cc1d\nS5030002FA\n", 0x13, 0xCC},
        {"\xEF\xBB\xBFS205010000AB4E\r\nS604000001FA\r\n", 0x10001, 0xAB},
        // A count in the middle still checks the records before it.
        {"S1050010AABB85\nS5030001FB\nS1040012CC1D\nS5030002FA\n", 0x13, 0xCC},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        RecordImage image;
        RecordError error;
        ASSERT_TRUE(ParseSRecords(c.text, &image, &error)) << error.line << ": " << error.what;
        EXPECT_EQ(image.end, c.end);
        EXPECT_EQ(FlatBytes(image, c.end - 1, 1), std::vector<std::uint8_t>{c.last});
    }
}

TEST(SRecords, BadRecordsAreRefusedWithTheirLineAndWhatIsWrong) {
    struct Case {
        const char* text;
        std::uint32_t line;
        const char* what;
    };
    const Case cases[] = {
        {"S1050010AABB84\nS9030000FC\n", 1, "checksum 0x84, the record calls for 0x85"},
        {"S1050010AABG85\nS9030000FC\n", 1, "'G' is not a hexadecimal digit"},
        {"S1060010AABB85\nS9030000FC\n", 1,
         "the record's length 0x06 calls for 14 hexadecimal digits after 'S1', the line has 12"},
        {"s1050010AABB8\nS9030000FC\n", 1,
         "the record's length 0x05 calls for 12 hexadecimal digits after 's1', the line has 11"},
        {"S10", 1, "the record's length takes 2 hexadecimal digits after 'S1', the line has 1"},
        {"S10212EB\nS9030000FC\n", 1,
         "the length 0x02 leaves no room for an address of 2 bytes and the checksum"},
        {"S1\n", 1, "nothing follows 'S1'"},
        {"S\n", 1, "nothing follows 'S'"},
        {"S4030000FC\n", 1, "unknown record type 'S4'"},
        {"s4030000FC\n", 1, "unknown record type 's4'"},
        {"SX030000FC\n", 1, "unknown record type 'SX'"},
        {"\n:00000001FF\n", 2, "the line does not begin with 'S'"},
        {"S1050010AABB85\nS1050011BBCC62\nS5030003F9\nS9030000FC\n", 3,
         "the record count says 3 data records, 2 came before it"},
        {"S316FFFFFFF00000000000000000000000000000000000FC\nS70500000000FA\n", 1,
         "data at 0xFFFFFFF0 runs past 4 GB"},
        {"S1050010AABB85\nS1040011BC2E\nS9030000FC\n", 2,
         "address 0x11 already holds 0xBB, this record gives 0xBC"},
        {"S9030000FC\nS1050010AABB85\n", 2, "a record follows the termination record"},
        {"S00400007487\nS1050010AABB85\n", 3, "the file ends without a termination record or record count"},
        {"S1050010AABB85\nS5030001FB\nS1040012CC1D\n", 4,
         "the file ends without a termination record or record count"},
        {"S1050010AABB85\nS5030002FA\n", 2, "the record count says 2 data records, 1 came before it"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        RecordImage image;
        RecordError error;
        EXPECT_FALSE(ParseSRecords(c.text, &image, &error));
        EXPECT_EQ(error.line, c.line);
        EXPECT_EQ(error.what, c.what);
    }
}

TEST(SRecords, WrittenRecordsTakeTheShortestAddressFormThatFits) {
    const std::uint8_t data[2] = {1, 2};
    EXPECT_EQ(FormatSRecords(data, 2, 0x1234, "t"), "S00400007487\r\nS10512340102B1\r\nS9030000FC\r\n");

    struct Case {
        std::uint32_t address;
        std::uint32_t size;
        const char* data;
        const char* end;
    };
    const Case cases[] = {
        {0xFFFF, 1, "S1", "S9"},   {0xFFFF, 2, "S2", "S8"},        {0xFFFFFF, 1, "S2", "S8"},
        {0xFFFFFF, 2, "S3", "S7"}, {0xFFFFFFF0, 0x10, "S3", "S7"}, {0x123, 0x456, "S1", "S9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        const std::vector<std::uint8_t> bytes = Pattern(c.size, c.address);
        const std::string text = FormatSRecords(bytes.data(), c.size, c.address, "image.s19");
        EXPECT_EQ(text.substr(text.find('\n') + 1, 2), c.data);
        EXPECT_EQ(text.substr(text.rfind('\n', text.size() - 2) + 1, 2), c.end);
        RecordImage image;
        RecordError error;
        ASSERT_TRUE(ParseSRecords(text, &image, &error)) << error.line << ": " << error.what;
        EXPECT_EQ(image.end, std::uint64_t{c.address} + c.size);
        EXPECT_EQ(FlatBytes(image, c.address, c.size), bytes);
    }
}

TEST(SRecords, TheHeaderCarriesAtMost64CharactersOfTheName) {
    const std::string name(100, 'n');
    const std::string text = FormatSRecords(nullptr, 0, 0, name);
    const std::string header = text.substr(0, text.find('\r'));
    // S0, length, address 0000, the name's bytes as hex, checksum.
    EXPECT_EQ(header.size(), 2u + 2 + 4 + 2 * 64 + 2);
    EXPECT_EQ(header.substr(2, 2), "43");
    RecordImage image;
    RecordError error;
    EXPECT_TRUE(ParseSRecords(text, &image, &error)) << error.what;
    EXPECT_EQ(image.end, 0u);
}
