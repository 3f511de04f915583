#pragma once
// The status gauge's state apart from its window: style bits, colours, the state and its texts,
// and the rules that choose what a paint shows.
#include "gauge_text.h"

#include <cstdint>
#include <string>

// Side of the status gauge's logical drawing space.
constexpr int kStatusGaugeSize = 100;

// Colours are 0x00BBGGRR. No message changes them.
struct StatusGaugeState {
    std::uint32_t style = 1;
    std::uint32_t backgroundColour = 0x00FFFFFF;
    // Black like the gauge's other texts: a title is a caption, not a state indicator.
    std::uint32_t titleColour = 0x00000000;
    std::uint32_t onTextColour = 0x00000000;
    std::uint32_t offTextColour = 0x00000000;
    std::uint32_t onBackground = 0x0000FF00;
    std::uint32_t offBackground = 0x000000FF;
    std::uint32_t state = 0;
    GaugeText title;
    GaugeText onText;
    GaugeText offText;
};

struct StateColours {
    std::uint32_t text;
    std::uint32_t background;
};

// The on pair for state 1 only; any other state, including the "on" text of state 2, is drawn
// with the off pair.
StateColours ColoursForState(const StatusGaugeState& gauge);

// The on text for every state but 0, cut to the 254 characters that the paint draws.
std::string StateTextToDraw(const StatusGaugeState& gauge);
