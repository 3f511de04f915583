#include "gauge_family.h"

std::uint32_t AddGaugeStyle(std::uint32_t style, std::uint32_t bits) {
    return bits != 0 ? style | bits : 0;
}

std::uint32_t RemoveGaugeStyle(std::uint32_t style, std::uint32_t bits) {
    return style & ~bits;
}

GaugeMapping MakeGaugeMapping(std::uint32_t style, int logicalSize, int clientWidth, int clientHeight) {
    constexpr int kIsotropic = 7;
    constexpr int kAnisotropic = 8;
    return {(style & kGaugeStyleProportional) != 0 ? kIsotropic : kAnisotropic, logicalSize,
            clientWidth > logicalSize ? clientWidth : logicalSize,
            clientHeight > logicalSize ? clientHeight : logicalSize};
}
