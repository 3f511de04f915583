// The monitor's watch of a file: the waiting rule on a clock the test moves, and the file
// system's notices on real files.
#include "file_watch.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Notices that arrive at fixed times (ms) on a clock that only moves while the watch waits.
struct ScriptedNotices {
    std::vector<int> at;
    Clock::time_point clock{};

    int Now() const { return static_cast<int>((clock - Clock::time_point{}) / 1ms); }

    bool Next(std::chrono::milliseconds timeout) {
        if (!at.empty() && at.front() <= Now() + timeout.count()) {
            clock = std::max(clock, Clock::time_point{} + std::chrono::milliseconds(at.front()));
            at.erase(at.begin());
            return true;
        }
        clock += timeout;
        return false;
    }
};

std::vector<int> Every(int step, int from, int to) {
    std::vector<int> times;
    for (int t = from; t <= to; t += step) {
        times.push_back(t);
    }
    return times;
}

} // namespace

TEST(FileWatch, WaitsForTheLimitOrForQuietAfterANotice) {
    struct Case {
        const char* name;
        std::vector<int> notices;
        int wantReturnAt;
    };
    const Case cases[] = {
        {"no notice", {}, 1000},
        {"one notice", {200}, 250},
        {"a save written in three pieces", {200, 230, 260}, 310},
        {"a notice waiting already", {0}, 50},
        {"a file written on and on", Every(30, 0, 3000), 1000},
        {"a notice just before the limit", {980}, 1000},
    };
    for (const Case& c : cases) {
        ScriptedNotices script{c.notices};
        WaitForQuiet([&](std::chrono::milliseconds timeout) { return script.Next(timeout); },
                     [&] { return script.clock; }, 1000ms, 50ms);
        EXPECT_EQ(script.Now(), c.wantReturnAt) << c.name;
    }
}

namespace {

class FileWatchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = dir_.Path("image.bin");
        WriteFileBytes(path_, CountingBytes(64));
    }

    // How long a wait with the given limit lasted.
    static std::chrono::milliseconds TimeWait(FileWatch& watch, std::chrono::milliseconds limit) {
        auto start = Clock::now();
        watch.Wait(limit, 50ms);
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    }

    TempDir dir_;
    std::string path_;
};

} // namespace

// The wait's limit stands far above any notice's delay: a wait that ends before it was ended by
// the change.
TEST_F(FileWatchTest, EveryKindOfSaveEndsTheWait) {
    struct Case {
        const char* name;
        std::function<void(const std::string&)> save;
    };
    const Case cases[] = {
        {"bytes written in place",
         [](const std::string& path) {
             std::FILE* editor = std::fopen(path.c_str(), "r+b");
             std::fputs("edit", editor);
             std::fclose(editor);
         }},
        {"the file written anew", [](const std::string& path) { WriteFileBytes(path, CountingBytes(32)); }},
        {"a new file renamed over it",
         [](const std::string& path) {
             WriteFileBytes(path + ".new", CountingBytes(80));
             std::filesystem::rename(path + ".new", path);
         }},
        {"deleted and saved again",
         [](const std::string& path) {
             std::filesystem::remove(path);
             WriteFileBytes(path, CountingBytes(16));
         }},
    };
    for (const Case& c : cases) {
        FileWatch watch(path_.c_str());
        c.save(path_);
        EXPECT_LT(TimeWait(watch, 30s), 30s) << c.name;
    }
}

TEST_F(FileWatchTest, AFileRenamedOverTheOldOneIsFollowedInItsTurn) {
    FileWatch watch(path_.c_str());
    WriteFileBytes(path_ + ".new", CountingBytes(80));
    std::filesystem::rename(path_ + ".new", path_);
    EXPECT_LT(TimeWait(watch, 30s), 30s);
    std::FILE* editor = std::fopen(path_.c_str(), "r+b");
    ASSERT_NE(editor, nullptr);
    std::fputs("edit", editor);
    std::fclose(editor);
    EXPECT_LT(TimeWait(watch, 30s), 30s);
}

TEST_F(FileWatchTest, WithoutAChangeToTheFileTheWaitLastsItsLimit) {
    struct Case {
        const char* name;
        std::string watched;
        std::function<void()> action;
    };
    const Case cases[] = {
        {"another file in the folder written", path_,
         [this] { WriteFileBytes(dir_.Path("other.bin"), CountingBytes(64)); }},
        // The monitor reads the file after every notice; reading must not make another.
        {"the file read", path_, [this] { ReadFileBytes(path_); }},
        {"a folder that does not exist", dir_.Path("gone/image.bin"), [] {}},
    };
    for (const Case& c : cases) {
        FileWatch watch(c.watched.c_str());
        c.action();
        EXPECT_GE(TimeWait(watch, 300ms), 300ms) << c.name;
    }
}

#ifndef _WIN32
TEST_F(FileWatchTest, AWriteToTheFileALinkNamesEndsTheWait) {
    std::string link = dir_.Path("link.bin");
    std::filesystem::create_directory(dir_.Path("elsewhere"));
    std::string target = dir_.Path("elsewhere/image.bin");
    WriteFileBytes(target, CountingBytes(64));
    std::filesystem::create_symlink(target, link);
    FileWatch watch(link.c_str());
    std::FILE* editor = std::fopen(target.c_str(), "r+b");
    ASSERT_NE(editor, nullptr);
    std::fputs("edit", editor);
    std::fclose(editor);
    EXPECT_LT(TimeWait(watch, 30s), 30s);
}
#endif
