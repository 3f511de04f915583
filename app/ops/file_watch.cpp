#include "file_watch.h"

#include <algorithm>

void WaitForQuiet(const std::function<bool(std::chrono::milliseconds)>& next,
                  const std::function<std::chrono::steady_clock::time_point()>& now,
                  std::chrono::milliseconds limit, std::chrono::milliseconds quiet) {
    auto deadline = now() + limit;
    if (!next(limit)) {
        return;
    }
    // A file written on and on is still taken at the limit, as without notices.
    for (;;) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now());
        if (left <= std::chrono::milliseconds::zero() || !next(std::min(quiet, left))) {
            return;
        }
    }
}

void FileWatch::Wait(std::chrono::milliseconds limit, std::chrono::milliseconds quiet) {
    WaitForQuiet([this](std::chrono::milliseconds timeout) { return NextNotice(timeout); },
                 std::chrono::steady_clock::now, limit, quiet);
}
