#include "fixed_text.h"
#include "rich_static_state.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(FixedText, CutToFitAndTerminated) {
    char field[50];
    std::memset(field, 'x', sizeof field);
    CopyToField(field, sizeof field, std::string(80, 'a').c_str());
    EXPECT_EQ(std::string(field), std::string(49, 'a'));

    CopyToField(field, sizeof field, std::string(49, 'b').c_str());
    EXPECT_EQ(std::string(field), std::string(49, 'b'));

    CopyToField(field, sizeof field, "");
    EXPECT_EQ(std::string(field), "");
}

TEST(FixedText, ReadBackIntoACallersBuffer) {
    const char field[260] = "Status text";
    char buffer[5];
    EXPECT_EQ(CopyFromField(field, buffer, sizeof buffer), 4u);
    EXPECT_EQ(std::string(buffer), "Stat");

    char large[64];
    EXPECT_EQ(CopyFromField(field, large, sizeof large), 11u);
    EXPECT_EQ(std::string(large), "Status text");

    EXPECT_EQ(CopyFromField(field, buffer, 1), 0u);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(CopyFromField(field, buffer, 0), 0u);
    EXPECT_EQ(CopyFromField(field, nullptr, 10), 0u);
}

TEST(RichStaticColours, TextColourRule) {
    const struct {
        std::uint32_t text, background, drawn;
    } cases[] = {
        {0x00000000, kRichStaticUnset, 0x00000000},
        {0x00FF0000, 0x00FFFFFF, 0x00FF0000},
        // No text colour over an explicit background: drawn in the background colour.
        {kRichStaticUnset, 0x00FFFFFF, 0x00FFFFFF},
        {kRichStaticUnset, 0x0000FFFF, 0x0000FFFF},
        // No text colour over the system background: passed on as it is.
        {kRichStaticUnset, kRichStaticUnset, kRichStaticUnset},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RichStaticTextColour(c.text, c.background), c.drawn)
            << std::hex << c.text << " " << c.background;
    }
}

} // namespace
