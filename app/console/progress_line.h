#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// One transfer's progress as a single line redrawn in place on a terminal: percent, bytes done
// of total, bytes per second and time left. It is told what the dialog's progress control is
// told (range in units, step, position) and turns the units back into bytes.
class ProgressLine {
  public:
    using Clock = std::chrono::steady_clock;
    struct Output {
        std::function<void(std::string_view)> write;
        std::function<Clock::time_point()> now;
        // The console's messages share the terminal and end without a line break: the line then
        // begins on a line of its own and the next message's leading break ends it. Alone on the
        // terminal, the line ends with its own break instead.
        bool sharedWithMessages = true;
    };

    ProgressLine(std::uint32_t totalBytes, Output output);

    // One progress message; anything but the range and the steps is ignored.
    void Receive(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

    // The transfer has returned: the line shows its last state and stays.
    void Finish();

  private:
    std::uint64_t DoneBytes() const;
    void Draw();

    std::uint32_t total_;
    Output output_;
    std::uint32_t unitBytes_ = 0;
    std::uint32_t step_ = 1;
    std::uint64_t steps_ = 0;
    bool drawing_ = false;
    bool begun_ = false;
    bool stale_ = false;
    std::size_t shown_ = 0;
    Clock::time_point phaseStart_{};
    Clock::time_point drawnAt_{};
};

// The text of the line, e.g. " 37%  24576 of 65536 bytes  11468 B/s  0:04 left"; rate and time
// left only once some bytes have moved.
std::string FormatProgress(std::uint64_t done, std::uint64_t total, double seconds);
