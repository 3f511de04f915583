#include "cmdline.h"
#include "stdout_capture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const char kUsage[] = "Usage: tevrix [operation] [options] [input/output file]\n"
                      "\n"
                      "switches:\n"
                      " -write              write to emulator from [infile]\n"
                      " -read               read from emulator to [outfile]\n"
                      " -verify             verify emulator contents with [infile]\n"
                      " -monitor            monitor [infile] for changes and upload when found\n"
                      " -infile <file>      upload/verify file path (use quotes if it contains spaces)\n"
                      " -outfile <file>     download file path (use quotes if it contains spaces)\n"
                      " -fileaddress <0xXX> start address (HEX) within file\n"
                      " -emuaddress <0xXX>  if -nobackbuf is specified, start address within the emu\n"
                      " -size <0xXX>        number of bytes to read/write/verify\n"
                      " -large              use bank 8 (Dravel) for full 4-MBit\n"
                      " -nobackbuf          use emuaddress to read/write. If not specified, emuaddress\n"
                      "                        is ignored and data is written to the end of RAM.\n"
                      " -noquitprompt       do not wait for input to quit (used for batching)\n"
                      "\n";

std::vector<std::string> Tokens(const char* line) {
    std::vector<std::string> tokens;
    std::size_t length = 0;
    while (char* token = NextToken(&line, &length)) {
        EXPECT_EQ(length, std::strlen(token));
        tokens.emplace_back(token);
        delete[] token;
    }
    return tokens;
}

void ResetParams() {
    g_params = OperationParams{};
    g_consoleOptions = ConsoleOptions{};
}

} // namespace

TEST(NextToken, SplitsQuotesAndBackslashesAsWritten) {
    struct Case {
        const char* line;
        std::vector<std::string> tokens;
    } cases[] = {
        {"", {}},
        {" \t\r\n\v\f", {}},
        {"-write  -infile\ta.bin", {"-write", "-infile", "a.bin"}},
        {R"("C:\My Files\rom.bin")", {R"(C:\My Files\rom.bin)"}},
        {R"(a"b c"d)", {R"(a"b c"d)"}},
        {R"("ab"cd)", {R"("ab"cd)"}},
        {R"("" x)", {"", "x"}},
        {"\"", {""}},
        {R"(a\ b)", {R"(a\ b)"}},
        {R"(\"a b")", {R"(\"a)", R"(b")"}},
        {R"("a\" b")", {R"(a\" b)"}},
        {R"("a"\"b")", {R"("a"\"b")"}},
        {"abc\\", {"abc\\"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Tokens(c.line), c.tokens) << "line: " << c.line;
    }
}

TEST(NextToken, LeavesCursorBehindToken) {
    const char* line = "  -size 100";
    std::size_t length = 0;
    char* token = NextToken(&line, &length);
    ASSERT_NE(token, nullptr);
    EXPECT_STREQ(line, " 100");
    EXPECT_EQ(length, 5u);
    delete[] token;
}

TEST(ParseHex, TakesOnlyHexDigitsWithAnOptional0xThatFit32Bits) {
    struct Case {
        const char* text;
        bool taken;
        std::uint32_t value;
    } cases[] = {
        {"0x1F", true, 31},
        {"1F", true, 31},
        {"1f", true, 31},
        {"0X1f", true, 31},
        {" 0x10\t", true, 16},
        {"8000", true, 0x8000},
        {"FFFFFFFF", true, 0xFFFFFFFF},
        {"0x00000000FFFFFFFF", true, 0xFFFFFFFF},
        {"0", true, 0},
        {"", false, 0},
        {"0x", false, 0},
        {"zz12", false, 0},
        {"1G0", false, 0},
        {"hello", false, 0},
        {"-10", false, 0},
        {"+10", false, 0},
        {"0x1F h", false, 0},
        {"1 0", false, 0},
        {"0xDEAD_beef", false, 0},
        {"100000000", false, 0},
        {"1FFFFFFFFF", false, 0},
        {"0x0x10", false, 0},
    };
    for (const auto& c : cases) {
        std::uint32_t value = 0xA5A5A5A5;
        EXPECT_EQ(ParseHex(c.text, &value), c.taken) << c.text;
        EXPECT_EQ(value, c.taken ? c.value : 0xA5A5A5A5) << c.text << ": a refused text leaves the value";
    }
}

TEST(ParseCommandLine, FillsTheOperationRecord) {
    struct Case {
        const char* line;
        std::int32_t result;
        std::int32_t operation;
        const char* path;
        std::uint32_t size;
        std::uint32_t fileAddress;
        std::uint32_t emuAddress;
        std::int32_t noBackBuf;
        std::int32_t large;
        std::int32_t noQuit;
    } cases[] = {
        {"-write -infile \"C:\\My Files\\a b.bin\"", 1, OP_WRITE, "C:\\My Files\\a b.bin", 0, 0, 0, 0, 0, 0},
        {"-infile a.bin -outfile b.bin", 1, OP_READ, "b.bin", 0, 0, 0, 0, 0, 0},
        {"-read -verify", 1, OP_VERIFY, "", 0, 0, 0, 0, 0, 0},
        {"/SIZE 8000", 1, OP_READ, "", 0x8000, 0, 0, 0, 0, 0},
        {"-size 0x8000", 1, OP_READ, "", 0x8000, 0, 0, 0, 0, 0},
        {"-size", 1, OP_READ, "", 0, 0, 0, 0, 0, 0},
        {"-infile \"\" -write", 1, OP_WRITE, "", 0, 0, 0, 0, 0, 0},
        {"-WRITE /Monitor", 1, OP_MONITOR, "", 0, 0, 0, 0, 0, 0},
        {"   ", 1, OP_READ, "", 0, 0, 0, 0, 0, 0},
        {"-fileaddress 0x10 -emuaddress 4000 -nobackbuf -large -noquitprompt", 1, OP_READ, "", 0, 0x10,
         0x4000, 1, 1, 1},
        {"-infile File.BIN", 1, OP_READ, "File.BIN", 0, 0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        ResetParams();
        StdoutCapture out;
        EXPECT_EQ(ParseCommandLine(c.line), c.result) << c.line;
        EXPECT_EQ(out.Text(), "") << c.line;
        EXPECT_EQ(g_params.operation, c.operation) << c.line;
        EXPECT_STREQ(g_params.filePath, c.path) << c.line;
        EXPECT_EQ(g_params.size, c.size) << c.line;
        EXPECT_EQ(g_params.fileAddress, c.fileAddress) << c.line;
        EXPECT_EQ(g_params.emuAddress, c.emuAddress) << c.line;
        EXPECT_EQ(g_params.noBackBuf, c.noBackBuf) << c.line;
        EXPECT_EQ(g_params.large, c.large) << c.line;
        EXPECT_EQ(g_consoleOptions.noQuitPrompt, c.noQuit) << c.line;
        EXPECT_EQ(g_consoleOptions.usageShown, 0) << c.line;
    }
}

TEST(ParseCommandLine, ANumberThatIsNoneIsRefusedWithTheSwitchAsGiven) {
    struct Case {
        const char* line;
        const char* out;
    } cases[] = {
        {"-write -size 1G0 -infile a.bin", "\nFAILURE: -size: '1G0' is not a hexadecimal number"},
        {"-read /FileAddress zz12", "\nFAILURE: /FileAddress: 'zz12' is not a hexadecimal number"},
        {"-emuaddress 1FFFFFFFFF -nobackbuf",
         "\nFAILURE: -emuaddress: '1FFFFFFFFF' is not a hexadecimal number"},
        // A switch where its value belongs is taken as the value, and refused.
        {"-size -read", "\nFAILURE: -size: '-read' is not a hexadecimal number"},
        {"-size zz -fileaddress -10", "\nFAILURE: -size: 'zz' is not a hexadecimal number\nFAILURE: "
                                      "-fileaddress: '-10' is not a hexadecimal number"},
    };
    for (const auto& c : cases) {
        ResetParams();
        StdoutCapture out;
        EXPECT_EQ(ParseCommandLine(c.line), 0) << c.line;
        EXPECT_EQ(out.Text(), c.out) << c.line;
        EXPECT_EQ(g_params.size, 0u) << c.line;
        EXPECT_EQ(g_params.fileAddress, 0u) << c.line;
        EXPECT_EQ(g_params.emuAddress, 0u) << c.line;
    }
}

TEST(ParseCommandLine, RefusesNullAndEmptyLines) {
    ResetParams();
    EXPECT_EQ(ParseCommandLine(nullptr), 0);
    EXPECT_EQ(ParseCommandLine(""), 0);
}

TEST(ParseCommandLine, InvalidTokenReportsOnceAfterAllTokens) {
    ResetParams();
    StdoutCapture out;
    EXPECT_EQ(ParseCommandLine("/SIZE 8000 -badswitch rom.bin -noquitprompt -write"), 0);
    EXPECT_EQ(out.Text(), std::string("\nINVALID SWITCH!\n\n") + kUsage);
    EXPECT_EQ(g_params.size, 0x8000u);
    EXPECT_EQ(g_params.operation, OP_WRITE);
    EXPECT_EQ(g_consoleOptions.noQuitPrompt, 1);
}

TEST(ParseCommandLine, HelpPrintsUsageOnceAmongValidSwitches) {
    ResetParams();
    StdoutCapture out;
    EXPECT_EQ(ParseCommandLine("-write -? -size 10"), 1);
    EXPECT_EQ(out.Text(), kUsage);
    EXPECT_EQ(g_consoleOptions.usageShown, 1);
    EXPECT_EQ(g_params.size, 0x10u);
}

TEST(ParseCommandLine, APathLongerThan259CharactersIsRefusedNotCut) {
    struct Case {
        std::size_t length;
        std::int32_t result;
        const char* out;
    } cases[] = {
        {259, 1, ""},
        {260, 0, "\nFAILURE: File path longer than 259 characters"},
        {1000, 0, "\nFAILURE: File path longer than 259 characters"},
    };
    for (const auto& c : cases) {
        ResetParams();
        std::strcpy(g_params.filePath, "before.bin");
        const std::string path(c.length, 'p');
        StdoutCapture out;
        EXPECT_EQ(ParseCommandLine(("-noquitprompt -outfile " + path + " -read").c_str()), c.result)
            << c.length;
        EXPECT_EQ(out.Text(), c.out) << c.length;
        // Cut to 259 characters the path could name another file, which a read would overwrite.
        EXPECT_EQ(std::string(g_params.filePath), c.result ? path : "before.bin") << c.length;
        EXPECT_EQ(g_consoleOptions.noQuitPrompt, 1) << c.length;
    }
}

// Each argument vector element is one token exactly as given: quotes and blanks in it are its
// own characters, never token boundaries.
TEST(ParseArguments, TakesEachArgumentAsOneToken) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::int32_t result;
        const char* path;
        std::uint32_t size;
        std::int32_t noQuit;
    } cases[] = {
        {"quote inside a path", {"-infile", "q\"uote.bin", "-noquitprompt"}, 1, "q\"uote.bin", 0, 1},
        {"blanks inside a path", {"-infile", "my rom.bin", "-size", "10"}, 1, "my rom.bin", 0x10, 0},
        {"path of blanks only", {"-infile", "   ", "-noquitprompt"}, 1, "   ", 0, 1},
        {"empty value changes nothing", {"-infile", "", "-noquitprompt"}, 1, "", 0, 1},
        {"blank argument is no switch", {"-write", " ", "-noquitprompt"}, 0, "", 0, 1},
        {"quoted path keeps its quotes", {"-infile", "\"a b\""}, 1, "\"a b\"", 0, 0},
    };
    for (const auto& c : cases) {
        ResetParams();
        StdoutCapture out;
        EXPECT_EQ(ParseArguments(c.args), c.result) << c.name;
        EXPECT_EQ(out.Text(), c.result ? "" : std::string("\nINVALID SWITCH!\n\n") + kUsage) << c.name;
        EXPECT_STREQ(g_params.filePath, c.path) << c.name;
        EXPECT_EQ(g_params.size, c.size) << c.name;
        EXPECT_EQ(g_consoleOptions.noQuitPrompt, c.noQuit) << c.name;
    }
}

TEST(PrintUsage, WritesTheUsageTextExactly) {
    StdoutCapture out;
    PrintUsage();
    EXPECT_EQ(out.Text(), kUsage);
}
