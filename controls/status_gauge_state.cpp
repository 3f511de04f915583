#include "status_gauge_state.h"

StateColours ColoursForState(const StatusGaugeState& gauge) {
    if (gauge.state == 1) {
        return {gauge.onTextColour, gauge.onBackground};
    }
    return {gauge.offTextColour, gauge.offBackground};
}

std::string StateTextToDraw(const StatusGaugeState& gauge) {
    constexpr std::size_t kMaxDrawn = 254;
    const GaugeText& text = gauge.state != 0 ? gauge.onText : gauge.offText;
    return std::string(text.Get(), text.Length() < kMaxDrawn ? text.Length() : kMaxDrawn);
}
