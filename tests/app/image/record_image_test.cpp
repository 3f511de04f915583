#include "record_image.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::uint8_t> Layout(const RecordImage& image, std::uint64_t offset, std::uint32_t size,
                                 std::uint32_t* within = nullptr) {
    std::vector<std::uint8_t> bytes(size, 0x00);
    std::uint32_t count = ReadRecordImageAt(image, offset, bytes.data(), size);
    if (within != nullptr) {
        *within = count;
    }
    return bytes;
}

bool Add(RecordImage* image, std::uint32_t address, std::vector<std::uint8_t> bytes, RecordError* error) {
    return AddRecordBytes(image, address, bytes.data(), bytes.size(), error);
}

} // namespace

TEST(RecordImage, RecordsInAnyOrderAndOverlapsThatAgreeMakeOneFlatImage) {
    RecordImage image;
    RecordError error;
    ASSERT_TRUE(Add(&image, 8, {8, 9, 10, 11}, &error));
    ASSERT_TRUE(Add(&image, 2, {2, 3}, &error));
    // Overlaps both runs and fills the gap between them.
    ASSERT_TRUE(Add(&image, 3, {3, 0xA4, 0xA5, 0xA6, 0xA7, 8, 9}, &error));
    ASSERT_TRUE(Add(&image, 12, {}, &error));
    EXPECT_EQ(image.end, 12u) << "a record without data gives no byte";
    EXPECT_EQ(Layout(image, 0, 14), (std::vector<std::uint8_t>{0xFF, 0xFF, 2, 3, 0xA4, 0xA5, 0xA6, 0xA7, 8, 9,
                                                               10, 11, 0xFF, 0xFF}));

    // A later record that disagrees anywhere, also past bytes it agrees with, is refused.
    EXPECT_FALSE(Add(&image, 9, {9, 10, 12}, &error));
    EXPECT_EQ(error.what, "address 0xB already holds 0x0B, this record gives 0x0C");
}

TEST(RecordImage, ARecordNearTheTopOf4GbCostsItsBytesNotTheSpanBelowIt) {
    RecordImage image;
    RecordError error;
    ASSERT_TRUE(Add(&image, 0xFFFFFF00, std::vector<std::uint8_t>(0x100, 0x5A), &error));
    EXPECT_EQ(image.end, 0x100000000u);
    ASSERT_EQ(image.runs.size(), 1u);
    EXPECT_EQ(image.runs.begin()->second.size(), 0x100u);

    std::uint32_t within = 0;
    std::vector<std::uint8_t> top = Layout(image, 0xFFFFFFF8, 16, &within);
    EXPECT_EQ(within, 8u) << "bytes past the image's end are not part of it";
    EXPECT_EQ(top, (std::vector<std::uint8_t>{0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0xFF, 0xFF,
                                              0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Layout(image, 0x200000000ull, 4, &within), std::vector<std::uint8_t>(4, 0xFF));
    EXPECT_EQ(within, 0u);
    EXPECT_EQ(Layout(image, 0, 4, &within), std::vector<std::uint8_t>(4, 0xFF));
    EXPECT_EQ(within, 4u);
}

TEST(RecordImage, LinesEndInAnyConventionAndAreCountedFromOne) {
    std::vector<std::pair<std::uint32_t, std::string>> seen;
    RecordError error;
    bool ended = false;
    EXPECT_FALSE(ParseRecordLines(" a \r\nb\rc\n\n\t d", ended, "no end", &error, [&](std::string_view line) {
        seen.emplace_back(error.line, std::string(line));
        return true;
    }));
    EXPECT_EQ(seen,
              (std::vector<std::pair<std::uint32_t, std::string>>{{1, "a"}, {2, "b"}, {3, "c"}, {5, "d"}}))
        << "blank lines are counted but not parsed";
    EXPECT_EQ(error.line, 6u) << "a missing end is reported after the last line";
    EXPECT_EQ(error.what, "no end");

    ended = true;
    EXPECT_FALSE(ParseRecordLines("x\ny\nz", ended, "no end", &error,
                                  [](std::string_view line) { return line != "y"; }));
    EXPECT_EQ(error.line, 2u) << "parsing stops at the first line refused";
    EXPECT_TRUE(ParseRecordLines("x\n", ended, "no end", &error, [](std::string_view) { return true; }));
}
