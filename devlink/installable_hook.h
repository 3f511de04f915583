#pragma once
#include <mutex>
#include <utility>

// A function a test can put in place of a platform call (an empty one restores the platform's).
// It is installed under a lock and handed out as a copy, so that a call runs outside the lock
// while another thread installs the next.
template <typename Function> class InstallableHook {
  public:
    void Install(Function function) {
        std::lock_guard<std::mutex> lock(mutex_);
        function_ = std::move(function);
    }

    Function Installed() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return function_;
    }

  private:
    mutable std::mutex mutex_;
    Function function_;
};
