#pragma once
// The analog gauge's state apart from its window: range, angles, colours, the value with the
// lowest and highest seen, texts and zones, and the texts a paint writes.
#include "gauge_text.h"

#include <cfloat>
#include <cstdint>
#include <string>
#include <vector>

// Side of the analog gauge's logical drawing space.
constexpr int kAnalogGaugeSize = 180;

// Style bits the analog gauge tests.
constexpr std::uint32_t kAnalogShowValue = 0x04;
constexpr std::uint32_t kAnalogShowMax = 0x08;
constexpr std::uint32_t kAnalogShowMin = 0x10;
constexpr std::uint32_t kAnalogShowZones = 0x40;

// Colour indexes of AGM_SETCOLOR and AGM_GETCOLOR.
enum AnalogColourIndex : std::uint32_t {
    kFaceColour = 0,
    kOutlineColour = 1,
    kNeedleColour = 2,
    kTitleColour = 3,
    kUnitsColour = 4,
    kBackgroundColour = 5,
    kLabelColour = 6,
    kMajorTickColour = 7,
    kMinorTickColour = 8,
    kValueColour = 9,
    kAnalogColourCount = 10,
};

// A coloured arc on the rim from one value to another, exchanged by pointer in the zone messages.
struct AnalogGaugeZone {
    float from;
    float to;
    std::uint32_t colour;
};
static_assert(sizeof(AnalogGaugeZone) == 12, "the zone record is three 32-bit fields");

// Colours are 0x00BBGGRR.
struct AnalogGaugeState {
    std::uint32_t style = 0x5F;
    float startAngle = 40.0f;
    float endAngle = 300.0f;
    float minimum = 0.0f;
    float maximum = 150.0f;
    std::uint32_t colours[kAnalogColourCount] = {0x00F0F0F0, 0x00000000, 0x000050FA, 0x00000000, 0x00000000,
                                                 0x00FFFFFF, 0x00000000, 0x00000000, 0x00FF0000, 0x00FF0000};
    std::uint32_t minTextColour = 0x00000000;
    std::uint32_t maxTextColour = 0x00000000;
    std::int32_t decimals = 2;
    float value = 0.0f;
    // The largest float and the lowest float stand for "no value since the last reset".
    float lowestSeen = FLT_MAX;
    float highestSeen = -FLT_MAX;
    GaugeText title;
    GaugeText units;
    int logicalSize = kAnalogGaugeSize;
    std::uint32_t majorTicks = 11;
    std::uint32_t minorDivisions = 5;
    std::vector<AnalogGaugeZone> zones;
};

// AGM_SETCOLOR: an index outside 0 to 9 changes nothing.
void SetAnalogColour(AnalogGaugeState& gauge, std::uint32_t index, std::uint32_t colour);
// AGM_GETCOLOR: 0 for an index outside 0 to 9.
std::uint32_t GetAnalogColour(const AnalogGaugeState& gauge, std::uint32_t index);

// Clamps the value to the range, stores it and widens the lowest/highest-seen pair. A NaN is not a
// reading: it is ignored, so it can neither poison the extremes nor turn the needle into nonsense.
void SetAnalogValue(AnalogGaugeState& gauge, float value);
// AGM_GETVALUE: the value truncated toward zero, saturated at the ends of the 32-bit range.
std::int32_t AnalogValueAsInteger(const AnalogGaugeState& gauge);
void ResetLowestSeen(AnalogGaugeState& gauge);
void ResetHighestSeen(AnalogGaugeState& gauge);

// AGM_SETZONE: index 0xFFFFFFFF inserts before all zones (result 0), an existing index overwrites
// that zone (result the index), any other index appends (result the new zone's index); a null
// zone changes nothing (result -1).
long long SetAnalogZone(AnalogGaugeState& gauge, std::uint32_t index, const AnalogGaugeZone* zone);
// AGM_GETZONE: whether the zone exists; copies it when it does and out is not null.
bool GetAnalogZone(const AnalogGaugeState& gauge, std::uint32_t index, AnalogGaugeZone* out);

// A whole number without decimals, anything else with the given number of decimals.
std::string GaugeValueText(float value, std::int32_t decimals);
// "Min: " and "Max: " with the extreme seen, or with "--" while none has been seen since the
// last reset (the placeholder extremes are not readings).
std::string MinLineText(const AnalogGaugeState& gauge);
std::string MaxLineText(const AnalogGaugeState& gauge);

// The value of major tick i (0 is the minimum, majorTicks - 1 the maximum).
float MajorTickValue(const AnalogGaugeState& gauge, std::uint32_t i);
// The value of minor tick j (1 to minorDivisions - 1) between two neighbouring major ticks.
float MinorTickValue(const AnalogGaugeState& gauge, float previousMajor, float major, std::uint32_t j);
