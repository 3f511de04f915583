#include "sleep.h"

#include <chrono>
#include <mutex>
#include <thread>
#include <utility>

namespace {

std::mutex& SleeperMutex() {
    static std::mutex mutex;
    return mutex;
}

Sleeper& InstalledSleeper() {
    static Sleeper sleeper;
    return sleeper;
}

} // namespace

void SetSleeper(Sleeper sleeper) {
    std::lock_guard<std::mutex> lock(SleeperMutex());
    InstalledSleeper() = std::move(sleeper);
}

void SleepMs(std::uint32_t milliseconds) {
    Sleeper sleeper;
    {
        std::lock_guard<std::mutex> lock(SleeperMutex());
        sleeper = InstalledSleeper();
    }
    if (sleeper) {
        sleeper(milliseconds);
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
}
