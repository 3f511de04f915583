// The terminal's progress line: what a terminal shows after the messages of a transfer, on a
// clock the test moves.
#include "progress_line.h"
#include "progress_line_window.h"
#include "transfer_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

// What a terminal shows for the text: a carriage return goes back to the start of the line, a
// line feed to the next line; trailing blanks are dropped.
std::vector<std::string> Screen(const std::string& written) {
    std::vector<std::string> lines(1);
    std::size_t column = 0;
    for (char c : written) {
        if (c == '\n') {
            lines.emplace_back();
            column = 0;
        } else if (c == '\r') {
            column = 0;
        } else {
            std::string& line = lines.back();
            if (column < line.size()) {
                line[column] = c;
            } else {
                line += c;
            }
            ++column;
        }
    }
    for (std::string& line : lines) {
        line.erase(line.find_last_not_of(' ') + 1);
    }
    return lines;
}

// A line for a transfer of `total` bytes; every step of the transfer takes `stepTime` on the
// test's clock.
struct Terminal {
    explicit Terminal(std::uint32_t total)
        : line(total, {[this](std::string_view text) { written += text; }, [this] { return clock; }}) {}

    void Send(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0) {
        line.Receive(message, wParam, lParam);
    }
    void StartPhase(std::uint32_t units) {
        Send(kProgressSetRange, 0, static_cast<std::intptr_t>(units << 16));
        Send(kProgressSetStep, 1);
        Send(kProgressSetPos, 0);
    }
    void Steps(int count, std::chrono::milliseconds each = 1000ms) {
        for (int i = 0; i < count; ++i) {
            clock += each;
            Send(kProgressStepIt);
        }
    }

    std::string written;
    ProgressLine::Clock::time_point clock{};
    ProgressLine line;
};

} // namespace

TEST(ProgressLine, FormatsPercentBytesRateAndTimeLeft) {
    struct Case {
        std::uint64_t done, total;
        double seconds;
        const char* want;
    };
    const Case cases[] = {
        {0, 65536, 0, "  0%  0 of 65536 bytes"},
        {0, 65536, 3, "  0%  0 of 65536 bytes"},
        {16384, 65536, 2, " 25%  16384 of 65536 bytes  8192 B/s  0:06 left"},
        {4096, 524288, 1, "  0%  4096 of 524288 bytes  4096 B/s  2:07 left"},
        // Time left is rounded up: a fraction of a second still to go is not "0:00".
        {65000, 65536, 5, " 99%  65000 of 65536 bytes  13000 B/s  0:01 left"},
        {65536, 65536, 5.7, "100%  65536 of 65536 bytes  11497 B/s  0:00 left"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatProgress(c.done, c.total, c.seconds), c.want);
    }
}

TEST(ProgressLine, DrawsOnALineOfItsOwnAndKeepsTheLastStateWhenTheTransferEnds) {
    Terminal t(0x3000);
    t.StartPhase(3);
    t.Steps(3);
    // Every transfer puts the position back to 0 when it returns.
    t.Send(kProgressSetPos, 0);
    t.line.Finish();
    // Below the message that announced the transfer, which ended its own line; the line ends
    // with its own break, so the next message starts below it.
    EXPECT_EQ(Screen(t.written),
              (std::vector<std::string>{"100%  12288 of 12288 bytes  4096 B/s  0:00 left", ""}));
    EXPECT_EQ(t.written.substr(0, 23), "\r  0%  0 of 12288 bytes");
}

TEST(ProgressLine, CountsBytesByTheUnitOfEachPhase) {
    struct Case {
        const char* name;
        std::uint32_t total;
        std::uint32_t units;
        int steps;
        const char* want;
    };
    const Case cases[] = {
        // A last chunk or packet that is not whole steps once more than the range.
        {"chunks, the last one short", 5000, 1, 1, " 81%  4096 of 5000 bytes"},
        {"chunks, all of them", 5000, 1, 2, "100%  5000 of 5000 bytes"},
        {"packets", 0x1234, 0x12, 3, " 16%  768 of 4660 bytes"},
        {"packets, the last one short", 0x1234, 0x12, 19, "100%  4660 of 4660 bytes"},
        {"packets of a transfer below one chunk", 300, 1, 1, " 85%  256 of 300 bytes"},
    };
    for (const Case& c : cases) {
        Terminal t(c.total);
        t.StartPhase(c.units);
        t.Steps(c.steps);
        t.line.Finish();
        std::vector<std::string> screen = Screen(t.written);
        ASSERT_EQ(screen.size(), 2u) << c.name;
        EXPECT_EQ(screen[0].substr(0, std::string(c.want).size()), c.want) << c.name;
    }
}

TEST(ProgressLine, ATransferOfOneBlockDrawsNothing) {
    struct Case {
        std::uint32_t total;
        std::uint32_t units;
    };
    const Case cases[] = {{1, 0}, {255, 0}, {256, 1}, {4000, 0}, {4096, 1}};
    for (const Case& c : cases) {
        Terminal t(c.total);
        t.StartPhase(c.units);
        t.Steps(1);
        t.Send(kProgressSetPos, 0);
        t.line.Finish();
        EXPECT_EQ(t.written, "") << c.total;
    }
}

TEST(ProgressLine, ANewPhaseStartsAgainFromZero) {
    // A bulk transfer that fails after one chunk and goes on in slow packets.
    Terminal t(0x10000);
    t.StartPhase(16);
    t.Steps(1);
    t.Send(kProgressSetPos, 0);
    t.StartPhase(256);
    std::vector<std::string> screen = Screen(t.written);
    EXPECT_EQ(screen.back(), "  0%  0 of 65536 bytes");
    t.Steps(128, 10ms);
    t.line.Finish();
    EXPECT_EQ(Screen(t.written).front(), " 50%  32768 of 65536 bytes  25600 B/s  0:02 left");
}

TEST(ProgressLine, StepsCloseTogetherAreDrawnAtMostEveryTenthOfASecondButTheLastAlways) {
    Terminal t(0x10000);
    t.StartPhase(256);
    t.Steps(100, 2ms);
    // The start, then one draw per 100 ms of the 200 ms the steps took.
    EXPECT_EQ(std::count(t.written.begin(), t.written.end(), '\r'), 3);
    t.Steps(1, 2ms);
    EXPECT_EQ(Screen(t.written).back(), " 39%  25600 of 65536 bytes  128000 B/s  0:01 left");
    t.Steps(155, 2ms);
    EXPECT_EQ(Screen(t.written).back(), "100%  65536 of 65536 bytes  128000 B/s  0:00 left");
}

// A real transfer reports through the progress window of the platform (a window of this thread
// on Windows) to the line.
TEST(ProgressLine, FollowsARealTransferThroughItsWindow) {
    InProcessDevice d(Config("corvane", 3, 0));
    Bytes data = Pattern(0x10000, 7);
    Terminal t(0x10000);
    ProgressLineWindow window(&t.line);
    ASSERT_NE(window.Handle(), nullptr);
    ASSERT_EQ(WriteBlock(&d.device, data.data(), 0x10000, 0, CV_XFER_LOWER_W, window.Handle()), CV_S_OK);
    t.line.Finish();
    std::vector<std::string> screen = Screen(t.written);
    ASSERT_EQ(screen.size(), 2u);
    EXPECT_EQ(screen[0].substr(0, 26), "100%  65536 of 65536 bytes");
}
