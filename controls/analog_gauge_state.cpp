#include "analog_gauge_state.h"

#include <cmath>
#include <cstdio>

void SetAnalogColour(AnalogGaugeState& gauge, std::uint32_t index, std::uint32_t colour) {
    if (index < kAnalogColourCount) {
        gauge.colours[index] = colour;
    }
}

std::uint32_t GetAnalogColour(const AnalogGaugeState& gauge, std::uint32_t index) {
    return index < kAnalogColourCount ? gauge.colours[index] : 0;
}

void SetAnalogValue(AnalogGaugeState& gauge, float value) {
    if (std::isnan(value)) {
        return;
    }
    if (value < gauge.minimum) {
        value = gauge.minimum;
    }
    if (value > gauge.maximum) {
        value = gauge.maximum;
    }
    gauge.value = value;
    if (value > gauge.highestSeen) {
        gauge.highestSeen = value;
    }
    if (value < gauge.lowestSeen) {
        gauge.lowestSeen = value;
    }
}

std::int32_t AnalogValueAsInteger(const AnalogGaugeState& gauge) {
    const double value = std::trunc(gauge.value);
    if (std::isnan(value)) {
        return 0;
    }
    if (value <= INT32_MIN) {
        return INT32_MIN;
    }
    if (value >= INT32_MAX) {
        return INT32_MAX;
    }
    return static_cast<std::int32_t>(value);
}

void ResetLowestSeen(AnalogGaugeState& gauge) {
    gauge.lowestSeen = FLT_MAX;
}

void ResetHighestSeen(AnalogGaugeState& gauge) {
    gauge.highestSeen = -FLT_MAX;
}

long long SetAnalogZone(AnalogGaugeState& gauge, std::uint32_t index, const AnalogGaugeZone* zone) {
    if (zone == nullptr) {
        return -1;
    }
    if (index == 0xFFFFFFFFu) {
        gauge.zones.insert(gauge.zones.begin(), *zone);
        return 0;
    }
    if (index < gauge.zones.size()) {
        gauge.zones[index] = *zone;
        return index;
    }
    gauge.zones.push_back(*zone);
    return static_cast<long long>(gauge.zones.size()) - 1;
}

bool GetAnalogZone(const AnalogGaugeState& gauge, std::uint32_t index, AnalogGaugeZone* out) {
    if (index >= gauge.zones.size()) {
        return false;
    }
    if (out != nullptr) {
        *out = gauge.zones[index];
    }
    return true;
}

std::string GaugeValueText(float value, std::int32_t decimals) {
    // More decimals than a float carries only lengthen the text; a negative count means none.
    constexpr std::int32_t kMostDecimals = 45;
    const double v = value;
    char text[128];
    if (std::fmod(v, 1.0) == 0.0) {
        // Whole numbers beyond the 32-bit range cannot go through an integer conversion.
        if (v >= INT32_MIN && v <= INT32_MAX) {
            std::snprintf(text, sizeof text, "%i", static_cast<int>(v));
        } else {
            std::snprintf(text, sizeof text, "%.0f", v);
        }
    } else {
        const int places = decimals < 0 ? 0 : (decimals > kMostDecimals ? kMostDecimals : decimals);
        std::snprintf(text, sizeof text, "%.*f", places, v);
    }
    return text;
}

std::string MinLineText(const AnalogGaugeState& gauge) {
    return "Min: " + (gauge.lowestSeen == FLT_MAX ? std::string("--")
                                                  : GaugeValueText(gauge.lowestSeen, gauge.decimals));
}

std::string MaxLineText(const AnalogGaugeState& gauge) {
    return "Max: " + (gauge.highestSeen == -FLT_MAX ? std::string("--")
                                                    : GaugeValueText(gauge.highestSeen, gauge.decimals));
}

float MajorTickValue(const AnalogGaugeState& gauge, std::uint32_t i) {
    return static_cast<float>(i) * (gauge.maximum - gauge.minimum) /
               static_cast<float>(gauge.majorTicks - 1) +
           gauge.minimum;
}

float MinorTickValue(const AnalogGaugeState& gauge, float previousMajor, float major, std::uint32_t j) {
    return static_cast<float>(j) * (major - previousMajor) / static_cast<float>(gauge.minorDivisions) +
           previousMajor;
}
