#include "log.h"
#include "result.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// A sink that writes to a temporary file, read back line by line.
class FileSink {
  public:
    FileSink() { sink.file = std::tmpfile(); }
    ~FileSink() { std::fclose(sink.file); }
    std::string Text() {
        std::string text;
        std::rewind(sink.file);
        for (int c; (c = std::fgetc(sink.file)) != EOF;) {
            text += static_cast<char>(c);
        }
        return text;
    }
    LogSink sink;
};

} // namespace

TEST(ResultToString, NamesEveryCodeAndNothingElse) {
    struct Case {
        CvResult code;
        const char* name;
    } cases[] = {
        {0, "CV_S_OK"},
        {-1, "CV_E_GENERAL_ERROR"},
        {-17, "CV_E_COMM_READ_TIMEOUT"},
        {-20, "CV_E_PORT_BUSY"},
        {-21, "CV_E_INVALID_VERSION"},
        {-22, "CV_E_INVALID_HARDWARE_ID"},
        {-24, "CV_E_INVALID_REQUEST_PARAM"},
        {1, "(ERROR NOT IN LIST)"},
        {-25, "(ERROR NOT IN LIST)"},
        {INT32_MIN, "(ERROR NOT IN LIST)"},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(ResultToString(c.code), c.name) << c.code;
    }
}

TEST(LogHexDump, RowsOfSixteenWithTextColumnAt48) {
    FileSink out;
    const unsigned char bytes[] = {0x4E, 0x53, 0xA1};
    LogHexDump(&out.sink, bytes, sizeof bytes, "KVSerial: Write");
    EXPECT_EQ(out.Text(), "KVSerial: Write\n0000: 4E 53 A1 " + std::string(39, ' ') + "NS.\n");
}

TEST(LogHexDump, SeventeenBytesGiveTwoRows) {
    FileSink out;
    unsigned char bytes[17];
    for (int i = 0; i < 17; ++i) {
        bytes[i] = static_cast<unsigned char>('A' + i);
    }
    LogHexDump(&out.sink, bytes, sizeof bytes, nullptr);
    std::string first = "0000: ";
    for (int i = 0; i < 16; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X ", 'A' + i);
        first += hex;
    }
    first += "ABCDEFGHIJKLMNOP";
    EXPECT_EQ(out.Text(), first + "\n0010: 51 " + std::string(45, ' ') + "Q\n");
}

TEST(LogHexDump, NothingForEmptyInputOrMissingSink) {
    FileSink out;
    const unsigned char byte = 1;
    LogHexDump(&out.sink, &byte, 0, "title");
    LogHexDump(&out.sink, nullptr, 4, "title");
    LogHexDump(nullptr, &byte, 1, "title");
    EXPECT_EQ(out.Text(), "");
}

TEST(LogLine, CutsAt4095) {
    FileSink out;
    std::string longText(5000, 'y');
    LogLine(&out.sink, "%s", longText.c_str());
    EXPECT_EQ(out.Text(), std::string(4095, 'y') + "\n");
}

TEST(LogLine, GoesOnlyWhereTheSinkPoints) {
    FileSink out;
    LogSink once = out.sink;
    LogLine(&once, "kept");
    once.file = nullptr;
    LogLine(&once, "dropped: the sink points nowhere now");
    LogLine(nullptr, "dropped: no sink");
    EXPECT_EQ(out.Text(), "kept\n");
}

#ifndef _WIN32
TEST(LogLine, EditControlGetsOneBreakBetweenLines) {
    EditBuffer edit;
    LogSink sink;
    sink.edit = &edit;
    LogLine(&sink, "KVSerial: Opened %s", "COM3");
    LogLine(&sink, "Serial request timed out");
    EXPECT_EQ(edit.text, "KVSerial: Opened COM3\r\nSerial request timed out");
}

TEST(AppendEditText, BreaksOnlyWhenTextIsThere) {
    EditBuffer edit;
    AppendEditText(&edit, "first", 2);
    AppendEditText(&edit, "second", 2);
    AppendEditText(&edit, "third", 0);
    EXPECT_EQ(edit.text, "first\r\n\r\nsecondthird");
}
#endif
