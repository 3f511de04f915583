#include "progress_line.h"

#include "progress_window.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <utility>

namespace {

// A phase counts bulk chunks or slow packets; its range is the size divided by one of them.
constexpr std::uint32_t kChunkBytes = 4096;
constexpr std::uint32_t kPacketBytes = 256;
// Redraws closer together than this would only make the numbers flicker.
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

} // namespace

ProgressLine::ProgressLine(std::uint32_t totalBytes, Output output)
    : total_(totalBytes), output_(std::move(output)) {}

void ProgressLine::Receive(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    switch (message) {
    case kProgressSetRange: {
        std::uint32_t units = (static_cast<std::uint32_t>(lParam) >> 16) & 0xFFFF;
        // Whole or not, a chunk phase has at least 4096 bytes per unit, a packet phase fewer
        // than 512.
        unitBytes_ = units > 0 && total_ / units >= kChunkBytes ? kChunkBytes : kPacketBytes;
        steps_ = 0;
        phaseStart_ = output_.now();
        // A transfer of a single chunk or packet is over before a line could tell anything.
        drawing_ = units > 0 && total_ > unitBytes_;
        if (drawing_) {
            Draw();
        }
        break;
    }
    case kProgressSetStep:
        step_ = static_cast<std::uint32_t>(wParam);
        break;
    case kProgressStepIt:
        if (!drawing_) {
            break;
        }
        steps_ += step_;
        if (DoneBytes() == total_ || output_.now() - drawnAt_ >= kRedrawInterval) {
            Draw();
        } else {
            stale_ = true;
        }
        break;
    default:
        // The position goes back to 0 at the end of every phase; the line keeps showing how far
        // the transfer got.
        break;
    }
}

void ProgressLine::Finish() {
    if (stale_) {
        Draw();
    }
    if (begun_) {
        output_.write("\n");
    }
}

std::uint64_t ProgressLine::DoneBytes() const {
    return std::min<std::uint64_t>(total_, steps_ * unitBytes_);
}

void ProgressLine::Draw() {
    Clock::time_point now = output_.now();
    std::string text =
        FormatProgress(DoneBytes(), total_, std::chrono::duration<double>(now - phaseStart_).count());
    std::string out = "\r";
    out += text;
    // Blanks over what a longer line before left behind.
    if (text.size() < shown_) {
        out.append(shown_ - text.size(), ' ');
    }
    output_.write(out);
    begun_ = true;
    stale_ = false;
    shown_ = text.size();
    drawnAt_ = now;
}

std::string FormatProgress(std::uint64_t done, std::uint64_t total, double seconds) {
    char text[128];
    std::uint64_t percent = total == 0 ? 100 : done * 100 / total;
    int n = std::snprintf(text, sizeof text, "%3" PRIu64 "%%  %" PRIu64 " of %" PRIu64 " bytes", percent,
                          done, total);
    if (done > 0 && seconds > 0 && n > 0) {
        double rate = static_cast<double>(done) / seconds;
        std::uint64_t rest = done < total ? total - done : 0;
        auto left = static_cast<std::uint64_t>(std::ceil(static_cast<double>(rest) / rate));
        std::snprintf(text + n, sizeof text - static_cast<std::size_t>(n),
                      "  %" PRIu64 " B/s  %" PRIu64 ":%02" PRIu64 " left", static_cast<std::uint64_t>(rate),
                      left / 60, left % 60);
    }
    return text;
}
