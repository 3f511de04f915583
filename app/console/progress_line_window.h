#pragma once
#include "progress_line.h"
#include "progress_window.h"

// The progress window that carries a transfer's messages to a ProgressLine: on Windows a
// message-only window of the calling thread (a transfer on that thread reaches it by a direct
// call), elsewhere a receiver.
class ProgressLineWindow {
  public:
    explicit ProgressLineWindow(ProgressLine* line);
    ~ProgressLineWindow();
    ProgressLineWindow(const ProgressLineWindow&) = delete;
    ProgressLineWindow& operator=(const ProgressLineWindow&) = delete;

    // Null when no window could be made; the transfer then reports to nothing.
    ProgressWindow Handle() const;

  private:
#ifdef _WIN32
    ProgressWindow window_ = nullptr;
#else
    struct Forward : ProgressReceiver {
        ProgressLine* line = nullptr;
        std::intptr_t Receive(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
    };
    // Handed out as the window; receiving changes nothing of this object.
    mutable Forward forward_;
#endif
};
