#pragma once
// The rich static control's messages and colour rules, apart from any drawing.
#include <cstdint>

enum RichStaticMessage : unsigned {
    RSM_SETBKCOLOR = 0x055E,   // lParam: COLORREF or kRichStaticUnset; returns the previous one
    RSM_SETTEXTCOLOR = 0x055F, // lParam: COLORREF or kRichStaticUnset; returns the previous one
};

// Colour value that stands for "not set": the system button face as background, no frame, or
// (for the text) the background colour.
constexpr std::uint32_t kRichStaticUnset = 0xFFFFFFFF;

// The colour the text is drawn in: its own colour, or the background colour when the text has
// none and the background is explicit, which leaves the text drawn but invisible.
constexpr std::uint32_t RichStaticTextColour(std::uint32_t text, std::uint32_t background) {
    return text == kRichStaticUnset && background != kRichStaticUnset ? background : text;
}
