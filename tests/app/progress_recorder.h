#pragma once
#include "progress_window.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#ifndef _WIN32
// Stands where the dialog's text progress control would be and keeps what it was told: texts
// as "text:<text>", colours as "bk:<hex>", "bar:<hex>" and "fg:<hex>", anything else as
// "msg:<hex>". The worker that sends may still run while the test counts.
class ProgressRecorder : public ProgressReceiver {
  public:
    std::intptr_t Receive(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
    // How many times the event has come so far.
    std::size_t Count(const std::string& event);
    // Read once the sender has ended.
    std::vector<std::string> events;

  private:
    void Add(std::string event);
    std::mutex mutex_;
};
#endif
