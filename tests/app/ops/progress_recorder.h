#pragma once
#include "progress_window.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <thread>
#endif

// Stands where the dialog's text progress control would be and keeps what it was told: texts
// as "text:<text>", colours as "bk:<hex>", "bar:<hex>" and "fg:<hex>", anything else as
// "msg:<hex>". On Windows it is a window of a thread of its own, so that a sender never waits for
// the test's thread. The sender may still run while the test counts.
class ProgressRecorder
#ifndef _WIN32
    : public ProgressReceiver
#endif
{
  public:
    ProgressRecorder();
    ~ProgressRecorder();
    ProgressRecorder(const ProgressRecorder&) = delete;
    ProgressRecorder& operator=(const ProgressRecorder&) = delete;

    // What to give the code under test as its progress window.
    ProgressWindow Window();
    // How many times the event has come so far.
    std::size_t Count(const std::string& event);
    // Read once the sender has ended.
    std::vector<std::string> events;

#ifndef _WIN32
    std::intptr_t Receive(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
#endif

  private:
    void Record(std::uint32_t message, std::intptr_t lParam);
    std::mutex mutex_;
#ifdef _WIN32
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
    std::thread thread_;
#endif
};
