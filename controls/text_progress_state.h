#pragma once
// What the text progress bar shows, apart from the window: its text, colours, orientation, range,
// step and position, with the arithmetic its messages and its painting need.
#include <cstddef>
#include <cstdint>

// A colour value the control gives a meaning of its own: the system face colour as background,
// two-colour text as text colour.
constexpr std::uint32_t kProgressAutoColour = 0xFFFFFFFF;

struct TextProgressState {
    static constexpr std::size_t kTextSize = 260;

    char text[kTextSize] = {};
    std::uint32_t textColour = 0x00000000;
    std::uint32_t backgroundColour = kProgressAutoColour;
    std::uint32_t barColour = 0x00D26400;
    std::int32_t vertical = 0;
    std::int32_t maximum = 255;
    std::int32_t minimum = 0;
    std::int32_t step = 1;
    std::int32_t position = 0;
};

// Edges of a rectangle; it is empty (draws nothing) unless right > left and bottom > top.
struct ProgressRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The bar and the rest of a client area of the given size.
struct ProgressLayout {
    ProgressRect bar;
    ProgressRect remainder;
};

// Copies a text into the state; a null text changes nothing. A text longer than the field holds
// is cut to its first 259 characters.
void SetProgressText(TextProgressState& state, const char* text);

// Copies as much of the text as fits into a buffer of the given size, terminator included;
// returns the number of characters copied without the terminator (0 for no buffer).
std::size_t CopyProgressText(const TextProgressState& state, char* buffer, std::size_t size);

// PBM_SETRANGE: the low 16 bits are the minimum, the high 16 bits the maximum, each unsigned.
void SetProgressRange16(TextProgressState& state, std::uint32_t packed);

// Adds the step to the position; a sum beyond the maximum wraps to the minimum. Returns the
// position before the step.
std::int32_t StepProgress(TextProgressState& state);

// PBM_GETRANGE without a record: the minimum for 1, the maximum for 0, 0 for anything else.
std::int32_t ProgressRangeLimit(const TextProgressState& state, std::uintptr_t which);

// How much of the extent the bar covers: (position - minimum) / (maximum - minimum) of it,
// truncated, kept within 0 and the extent; 0 when the range is empty.
int ProgressFilledLength(const TextProgressState& state, int extent);

// Bar and remainder for a client area of width by height, horizontal or vertical.
ProgressLayout LayOutProgress(const TextProgressState& state, int width, int height);

// Whether the text is drawn twice, in the background colour over the bar and in the bar colour
// over the rest: asked for by the automatic text colour, and only possible with an explicit
// background colour.
bool UsesTwoColourText(const TextProgressState& state);
