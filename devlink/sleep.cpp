#include "sleep.h"

#include "installable_hook.h"

#include <chrono>
#include <thread>
#include <utility>

namespace {

InstallableHook<Sleeper>& SleeperHook() {
    static InstallableHook<Sleeper> hook;
    return hook;
}

} // namespace

void SetSleeper(Sleeper sleeper) {
    SleeperHook().Install(std::move(sleeper));
}

void SleepMs(std::uint32_t milliseconds) {
    Sleeper sleeper = SleeperHook().Installed();
    if (sleeper) {
        sleeper(milliseconds);
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
}
