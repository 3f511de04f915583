#include "gauge_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

TEST(GaugeTextStore, KeepsWholeTextsAndEmptiesTooLongOnes) {
    struct Case {
        const char* text;
        std::size_t maxLength;
        bool held;
        const char* stored;
    } cases[] = {
        {"Engine", 6, true, "Engine"},
        {"Engine", 100, true, "Engine"},
        {"Engine", 3, true, ""}, // too long: stored empty, never cut
        {"Engine", 5, true, ""},
        {"", 4, true, ""},
        {"Engine", 0, false, ""},
        {nullptr, 10, false, ""},
        // An "unlimited" maximum must not wrap around and empty the text.
        {"Engine", std::numeric_limits<std::size_t>::max(), true, "Engine"},
    };
    for (const Case& c : cases) {
        GaugeText text;
        text.Store("previous", 20);
        text.Store(c.text, c.maxLength);
        SCOPED_TRACE(std::string(c.text ? c.text : "(null)") + " max " + std::to_string(c.maxLength));
        EXPECT_EQ(text.Held(), c.held);
        EXPECT_STREQ(text.Get(), c.stored);
        EXPECT_EQ(text.Length(), std::strlen(c.stored));
    }
}

TEST(GaugeTextStore, MeasuresNoFurtherThanOnePastTheMaximum) {
    // Not terminated after the fourth character: a correct store never looks at the fifth.
    const char unterminated[4] = {'a', 'b', 'c', 'd'};
    GaugeText text;
    text.Store(unterminated, 3);
    EXPECT_TRUE(text.Held());
    EXPECT_STREQ(text.Get(), "");
}

TEST(GaugeTextCopyOut, CopiesWhatFitsOrAnEmptyTextAndLeavesBadBuffersAlone) {
    GaugeText sevenChars;
    sevenChars.Store("Running", 50);
    GaugeText none;
    struct Case {
        const GaugeText* text;
        std::size_t size;
        const char* expected;
    } cases[] = {
        {&sevenChars, 4, "Run"},
        {&sevenChars, 8, "Running"},
        {&sevenChars, 100, "Running"},
        {&sevenChars, 1, ""},
        {&none, 10, ""},
    };
    for (const Case& c : cases) {
        char buffer[16];
        std::memset(buffer, 'x', sizeof buffer);
        c.text->CopyOut(buffer, c.size);
        EXPECT_STREQ(buffer, c.expected) << "size " << c.size;
    }

    char untouched[4] = {'x', 'x', 'x', '\0'};
    sevenChars.CopyOut(untouched, 0);
    none.CopyOut(untouched, 0);
    EXPECT_STREQ(untouched, "xxx");
    sevenChars.CopyOut(nullptr, 10); // must not crash
}

TEST(CaptionLengthToDraw, DrawsCaptionsShorterThanAHundredCharacters) {
    GaugeText caption;
    caption.Store(std::string(99, 'a').c_str(), 500);
    EXPECT_EQ(CaptionLengthToDraw(caption), 99u);
    caption.Store(std::string(100, 'a').c_str(), 500);
    EXPECT_EQ(CaptionLengthToDraw(caption), 0u);
}
