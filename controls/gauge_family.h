#pragma once
// What the gauge controls (status gauge, analog gauge) share: their message numbers, the style-bit
// messages and the mapping of their fixed logical drawing space onto the client area.
#include <cstdint>

// Style-bit messages of the whole gauge family.
constexpr unsigned GM_ADDSTYLE = 0x05F4;
constexpr unsigned GM_REMOVESTYLE = 0x05F6;

// Status gauge messages.
constexpr unsigned SGM_SETSTATE = 0x05F9;
constexpr unsigned SGM_SETTITLE = 0x05FB;
constexpr unsigned SGM_GETTITLE = 0x05FC;
constexpr unsigned SGM_SETONTEXT = 0x05FD;
constexpr unsigned SGM_GETONTEXT = 0x05FE;
constexpr unsigned SGM_SETOFFTEXT = 0x05FF;
constexpr unsigned SGM_GETOFFTEXT = 0x0600;

// Analog gauge messages.
constexpr unsigned AGM_SETCOLOR = 0x05F7;
constexpr unsigned AGM_GETCOLOR = 0x05F8;
constexpr unsigned AGM_SETRANGE = 0x05F9;
constexpr unsigned AGM_SETVALUE = 0x05FC;
constexpr unsigned AGM_GETVALUE = 0x05FD;
constexpr unsigned AGM_SETANGLES = 0x05FE;
constexpr unsigned AGM_RESETMIN = 0x0601;
constexpr unsigned AGM_RESETMAX = 0x0602;
constexpr unsigned AGM_SETTITLE = 0x0603;
constexpr unsigned AGM_GETTITLE = 0x0604;
constexpr unsigned AGM_SETUNITS = 0x0605;
constexpr unsigned AGM_GETUNITS = 0x0606;
constexpr unsigned AGM_SETDECIMALS = 0x0607;
constexpr unsigned AGM_SETZONE = 0x0608;
constexpr unsigned AGM_GETZONE = 0x0609;
constexpr unsigned AGM_CLEARZONES = 0x060A;

// The code in the high word of the WM_COMMAND a gauge sends its parent on a context-menu request.
constexpr unsigned short kGaugeContextMenuCode = 0x626;

// Style bit that keeps both axes at the same scale.
constexpr std::uint32_t kGaugeStyleProportional = 0x80;

// GM_ADDSTYLE: adds the bits; adding 0 clears every bit.
std::uint32_t AddGaugeStyle(std::uint32_t style, std::uint32_t bits);
// GM_REMOVESTYLE.
std::uint32_t RemoveGaugeStyle(std::uint32_t style, std::uint32_t bits);

// How a gauge's square logical space of side logicalSize lies on a client area: the mapping mode
// (7 isotropic with the proportional bit, 8 anisotropic otherwise), the window extent and the
// viewport extent. The viewport is never smaller than the logical square, so a small control shows
// the top-left part of its drawing at one pixel per unit instead of shrinking it to illegibility.
struct GaugeMapping {
    int mode;
    int windowExtent;
    int viewportWidth;
    int viewportHeight;
};
GaugeMapping MakeGaugeMapping(std::uint32_t style, int logicalSize, int clientWidth, int clientHeight);
