#pragma once
#include <chrono>
#include <functional>
#include <memory>

// Wakes a monitor when the file system reports a change to the watched file: a write to it, or a
// new file saved under its name. Where no notice comes (a watch that could not be set up, a file
// system without notices, a write through a memory mapping), every wait lasts its whole time.
class FileWatch {
  public:
    explicit FileWatch(const char* path);
    ~FileWatch();
    FileWatch(const FileWatch&) = delete;
    FileWatch& operator=(const FileWatch&) = delete;

    // Returns once `limit` has passed, or earlier when a change was reported and the file then
    // stayed quiet for `quiet`, so that a save still being written is not taken half-way.
    void Wait(std::chrono::milliseconds limit, std::chrono::milliseconds quiet);

  private:
    // Waits at most `timeout` for a notice about the file; true when one came.
    bool NextNotice(std::chrono::milliseconds timeout);

    struct Notices;
    std::unique_ptr<Notices> notices_;
};

// The waiting rule of FileWatch::Wait apart from the file system: `next` waits at most the time it
// is given for a notice and tells whether one came; `now` reads the clock.
void WaitForQuiet(const std::function<bool(std::chrono::milliseconds)>& next,
                  const std::function<std::chrono::steady_clock::time_point()>& now,
                  std::chrono::milliseconds limit, std::chrono::milliseconds quiet);
