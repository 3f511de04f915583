#include "app_state.h"
#include "stdout_capture.h"
#include "version.h"

#include <gtest/gtest.h>

#include <string>

TEST(PrintStatus, ConsolePutsBreaksFirstAndNoneAfter) {
    g_app = AppState{};
    g_app.consoleMode = 1;
    StdoutCapture out;
    PrintStatus(1, "Searching for emulator...");
    PrintStatus(2, "FOUND: %s v%i.%.2X", "Dravel", 10, 0xC);
    EXPECT_EQ(out.Text(), "\nSearching for emulator...\n\nFOUND: Dravel v10.0C");
}

TEST(PrintStatus, CutsLongMessagesAt4095Characters) {
    g_app = AppState{};
    g_app.consoleMode = 1;
    StdoutCapture out;
    std::string longText(5000, 'x');
    PrintStatus(0, "%s", longText.c_str());
    EXPECT_EQ(out.Text(), std::string(4095, 'x'));
}

#ifndef _WIN32
TEST(PrintStatus, DialogLogGetsBreaksOnlyAfterText) {
    EditBuffer log;
    g_app = AppState{};
    g_app.logWindow = &log;
    PrintStatus(1, "Detecting Hardware...");
    PrintStatus(2, "Found: %s", "Dravel");
    PrintStatus(1, "done");
    EXPECT_EQ(log.text, "Detecting Hardware...\r\n\r\nFound: Dravel\r\ndone");
    g_app = AppState{};
}
#endif

TEST(Version, FormatsTheFourPartsWithTheirWidths) {
    const std::uint16_t parts[4] = {1, 0, 92, 1};
    char text[kVersionTextSize];
    FormatVersionText(parts, text, sizeof text);
    EXPECT_STREQ(text, "1.00.0092.01");
}

#ifdef TEVRIX_EXE_PATH
TEST(Version, ReadsTheExecutablesVersionResource) {
    char text[kVersionTextSize] = "untouched";
    ASSERT_EQ(GetModuleVersionString(TEVRIX_EXE_PATH, text), 1);
    EXPECT_STREQ(text, "1.00.0092.01");
    char missing[kVersionTextSize] = "untouched";
    EXPECT_EQ(GetModuleVersionString("Z:\\no\\such\\file.exe", missing), 0);
    EXPECT_STREQ(missing, "untouched");
}
#endif
