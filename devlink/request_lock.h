#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

// An auto-reset event: signalled means free. A successful wait takes the signal, so exactly one
// waiter goes on; Set makes it free again.
class AutoResetEvent {
  public:
    explicit AutoResetEvent(bool signalled) : signalled_(signalled) {}

    // True when the event was taken within `milliseconds`.
    bool Wait(std::uint32_t milliseconds) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!ready_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return signalled_; })) {
            return false;
        }
        signalled_ = false;
        return true;
    }

    void Set() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            signalled_ = true;
        }
        ready_.notify_one();
    }

  private:
    std::mutex mutex_;
    std::condition_variable ready_;
    bool signalled_;
};
