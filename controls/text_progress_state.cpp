#include "text_progress_state.h"

#include <algorithm>
#include <cstring>
#include <limits>

void SetProgressText(TextProgressState& state, const char* text) {
    if (text == nullptr) {
        return;
    }
    const std::size_t length = strnlen(text, TextProgressState::kTextSize - 1);
    std::memcpy(state.text, text, length);
    state.text[length] = '\0';
}

std::size_t CopyProgressText(const TextProgressState& state, char* buffer, std::size_t size) {
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    const std::size_t length = std::min(std::strlen(state.text), size - 1);
    std::memcpy(buffer, state.text, length);
    buffer[length] = '\0';
    return length;
}

void SetProgressRange16(TextProgressState& state, std::uint32_t packed) {
    state.minimum = static_cast<std::int32_t>(packed & 0xFFFF);
    state.maximum = static_cast<std::int32_t>(packed >> 16);
}

std::int32_t StepProgress(TextProgressState& state) {
    const std::int32_t previous = state.position;
    // Summed wide so that a step near the ends of the 32-bit range cannot overflow.
    const std::int64_t sum = std::int64_t{state.position} + state.step;
    if (sum > state.maximum) {
        state.position = state.minimum;
    } else {
        state.position =
            static_cast<std::int32_t>(std::max<std::int64_t>(sum, std::numeric_limits<std::int32_t>::min()));
    }
    return previous;
}

std::int32_t ProgressRangeLimit(const TextProgressState& state, std::uintptr_t which) {
    if (which == 1) {
        return state.minimum;
    }
    if (which == 0) {
        return state.maximum;
    }
    return 0;
}

int ProgressFilledLength(const TextProgressState& state, int extent) {
    if (state.maximum == state.minimum) {
        return 0;
    }
    const double fraction = (static_cast<double>(state.position) - state.minimum) /
                            (static_cast<double>(state.maximum) - state.minimum);
    const double filled = fraction * extent;
    // Beyond either end the bar draws the same as at the end, and the clamp keeps the
    // conversion to int defined.
    if (!(filled > 0.0)) {
        return 0;
    }
    if (filled >= extent) {
        return extent;
    }
    return static_cast<int>(filled);
}

ProgressLayout LayOutProgress(const TextProgressState& state, int width, int height) {
    ProgressLayout layout;
    if (state.vertical != 0) {
        const int filled = ProgressFilledLength(state, height);
        layout.bar = {0, height - filled, width, height};
        layout.remainder = {0, 0, width, height - filled};
    } else {
        const int filled = ProgressFilledLength(state, width);
        layout.bar = {0, 0, filled, height};
        layout.remainder = {filled, 0, width, height};
    }
    return layout;
}

bool UsesTwoColourText(const TextProgressState& state) {
    return state.textColour == kProgressAutoColour && state.backgroundColour != kProgressAutoColour;
}
