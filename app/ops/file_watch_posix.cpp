#include "file_watch.h"

#include "monitor_stop.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <poll.h>
#include <string>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Writes to the file itself, also when the name is a link into another folder.
constexpr std::uint32_t kFileEvents = IN_MODIFY | IN_CLOSE_WRITE;
// In its folder, the same under its name, and a new file put there: a save by rename, or a file
// deleted and written anew, which the watch of the old file would not see.
constexpr std::uint32_t kFolderEvents = IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE;

} // namespace

struct FileWatch::Notices {
    int fd = -1;
    int folder = -1;
    std::string name;

    // Reads every notice waiting; true when one concerns the file.
    bool Drain() {
        alignas(inotify_event) char buffer[16 * (sizeof(inotify_event) + NAME_MAX + 1)];
        bool concerned = false;
        for (;;) {
            ssize_t got = read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                return concerned;
            }
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                if (event->mask & IN_Q_OVERFLOW) {
                    concerned = true; // notices were lost; one of them may have been ours
                } else if (event->wd != folder) {
                    concerned = concerned || (event->mask & kFileEvents) != 0;
                } else if (event->len > 0 && name == event->name) {
                    concerned = true;
                }
            }
        }
    }
};

FileWatch::FileWatch(const char* path) : notices_(std::make_unique<Notices>()) {
    Notices& n = *notices_;
    n.fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (n.fd < 0) {
        return;
    }
    std::filesystem::path file(path);
    std::string folder = file.has_parent_path() ? file.parent_path().string() : ".";
    n.name = file.filename().string();
    n.folder = inotify_add_watch(n.fd, folder.c_str(), kFolderEvents | IN_ONLYDIR);
    inotify_add_watch(n.fd, path, kFileEvents);
}

FileWatch::~FileWatch() {
    if (notices_->fd >= 0) {
        close(notices_->fd);
    }
}

bool FileWatch::NextNotice(std::chrono::milliseconds timeout) {
    auto deadline = Clock::now() + timeout;
    for (;;) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left <= std::chrono::milliseconds::zero()) {
            return false;
        }
        if (notices_->fd < 0) {
            SleepUnlessStopped(left);
            return false;
        }
        // A stop the user asks for ends the wait at once.
        pollfd ready[2] = {{notices_->fd, POLLIN, 0}, {StopDescriptor(), POLLIN, 0}};
        int polled = poll(ready, ready[1].fd >= 0 ? 2 : 1, static_cast<int>(left.count()));
        if (polled < 0 && errno != EINTR) {
            // Without notices the wait still lasts its time.
            SleepUnlessStopped(left);
            return false;
        }
        if (polled > 0 && (ready[1].revents & POLLIN)) {
            return false;
        }
        if (polled > 0 && notices_->Drain()) {
            return true;
        }
    }
}
