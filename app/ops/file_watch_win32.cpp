#include "file_watch.h"

#include "monitor_stop.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// Writes that change the file's size or time, and names that come or go in the folder (a save
// by rename, a file written anew).
constexpr DWORD kChanges =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;

} // namespace

struct FileWatch::Notices {
    HANDLE folder = INVALID_HANDLE_VALUE;
    HANDLE done = nullptr;
    OVERLAPPED overlapped{};
    bool asked = false;
    std::wstring name;
    // The system writes the notices here while a request is out; DWORD-aligned as it must be.
    alignas(DWORD) std::byte buffer[16384];

    void Ask() {
        overlapped = OVERLAPPED{};
        overlapped.hEvent = done;
        asked = ReadDirectoryChangesW(folder, buffer, sizeof buffer, FALSE, kChanges, nullptr, &overlapped,
                                      nullptr) != 0;
    }

    // Ends a request that is still out; the system must be done with the buffer before it goes.
    void Stop() {
        if (asked) {
            CancelIoEx(folder, &overlapped);
            DWORD bytes = 0;
            GetOverlappedResult(folder, &overlapped, &bytes, TRUE);
            asked = false;
        }
    }

    // Whether the notices in the buffer name the file as written, added or renamed to.
    bool Concern(DWORD bytes) const {
        // An empty answer means more changes came than the buffer holds.
        if (bytes == 0) {
            return true;
        }
        bytes = std::min<DWORD>(bytes, sizeof buffer);
        constexpr DWORD kHeader = offsetof(FILE_NOTIFY_INFORMATION, FileName);
        for (DWORD at = 0; at + kHeader <= bytes;) {
            const auto* notice = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer + at);
            if (at + kHeader + notice->FileNameLength > bytes) {
                return false;
            }
            bool named =
                CompareStringOrdinal(notice->FileName, static_cast<int>(notice->FileNameLength / 2),
                                     name.c_str(), static_cast<int>(name.size()), TRUE) == CSTR_EQUAL;
            if (named && notice->Action != FILE_ACTION_REMOVED &&
                notice->Action != FILE_ACTION_RENAMED_OLD_NAME) {
                return true;
            }
            if (notice->NextEntryOffset == 0) {
                return false;
            }
            at += notice->NextEntryOffset;
        }
        return false;
    }
};

FileWatch::FileWatch(const char* path) : notices_(std::make_unique<Notices>()) {
    Notices& n = *notices_;
    wchar_t wide[MAX_PATH];
    wchar_t full[1024];
    wchar_t* namePart = nullptr;
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH) == 0) {
        return;
    }
    DWORD length = GetFullPathNameW(wide, 1024, full, &namePart);
    if (length == 0 || length >= 1024 || namePart == nullptr) {
        return;
    }
    n.name = namePart;
    *namePart = L'\0';
    n.folder =
        CreateFileW(full, FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    n.done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (n.folder != INVALID_HANDLE_VALUE && n.done != nullptr) {
        n.Ask();
    }
}

FileWatch::~FileWatch() {
    Notices& n = *notices_;
    n.Stop();
    if (n.folder != INVALID_HANDLE_VALUE) {
        CloseHandle(n.folder);
    }
    if (n.done != nullptr) {
        CloseHandle(n.done);
    }
}

bool FileWatch::NextNotice(std::chrono::milliseconds timeout) {
    Notices& n = *notices_;
    auto deadline = Clock::now() + timeout;
    for (;;) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left <= std::chrono::milliseconds::zero()) {
            return false;
        }
        if (!n.asked) {
            SleepUnlessStopped(left);
            return false;
        }
        // A stop the user asks for ends the wait at once.
        HANDLE events[2] = {n.done, StopEvent()};
        DWORD waited = WaitForMultipleObjects(events[1] != nullptr ? 2 : 1, events, FALSE,
                                              static_cast<DWORD>(left.count()));
        if (waited == WAIT_TIMEOUT) {
            continue;
        }
        if (waited == WAIT_OBJECT_0 + 1) {
            return false;
        }
        if (waited != WAIT_OBJECT_0) {
            n.Stop();
            continue;
        }
        DWORD bytes = 0;
        bool answered = GetOverlappedResult(n.folder, &n.overlapped, &bytes, FALSE) != 0;
        DWORD error = answered ? ERROR_SUCCESS : GetLastError();
        if (error == ERROR_IO_INCOMPLETE) {
            ResetEvent(n.done);
            continue;
        }
        n.asked = false;
        if (!answered && error != ERROR_NOTIFY_ENUM_DIR) {
            // The folder cannot be watched any more: the poll alone remains.
            continue;
        }
        // Without an answer for too many changes, ours may be among them.
        bool concerned = !answered || n.Concern(bytes);
        ResetEvent(n.done);
        n.Ask();
        if (concerned) {
            return true;
        }
    }
}
