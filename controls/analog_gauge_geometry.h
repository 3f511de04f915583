#pragma once
// Where the analog gauge draws: dial angles of values, points on the dial and the alignment of
// scale labels. Dial angles are degrees clockwise from straight down; logical y grows downwards.
#include "analog_gauge_state.h"

// Radii in logical units, counted from the centre of a dial of side size.
struct DialRadii {
    int majorTickOuter;
    int majorTickInner;
    int minorTickInner;
    int label;
    int needleTip;
    int needleBase;
    int rimMarkOuter;
    int rimMarkInner;
    int arcEnds;
};
DialRadii RadiiFor(int size);

// The dial angle of a value, linear between the start angle at the minimum and the end angle at
// the maximum. An empty range or a non-finite angle would give no direction at all; the start
// angle (or straight down) stands in, so no drawing coordinate is ever undefined.
double DialAngle(const AnalogGaugeState& gauge, float value);

struct DialPoint {
    int x;
    int y;
    bool operator==(const DialPoint&) const = default;
};
// The point at a radius in a dial direction, coordinates truncated toward zero (labels, arcs,
// needle).
DialPoint PointOnDial(int size, double dialAngle, double radius);
// The same point rounded, a half rounding up (the ends of tick lines).
DialPoint TickEndOnDial(int size, double dialAngle, double radius);

// Text alignment (TA_* bits) of a label anchored in a dial direction, chosen so the text extends
// from the anchor toward the centre and so stays inside the face.
unsigned LabelAlignment(double dialAngle);
