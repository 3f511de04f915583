#pragma once
// Window-side helpers that the gauge controls share: repaint on request, their fonts, the messages
// they answer alike and the mapping of their logical space onto a device context.
#include <windows.h>

#include <cstddef>
#include <cstdint>

// Setters with a repaint flag in lParam show the change at once when the flag is set.
void RepaintIfAsked(HWND window, LPARAM flag);

// The gauges' font: semi-bold variable-pitch Arial in proof quality, height in logical units.
HFONT CreateGaugeFont(int height);

// The fonts of one paint, made from their heights and deleted when the paint is done.
template <std::size_t Count> class GaugeFonts {
  public:
    explicit GaugeFonts(const int (&heights)[Count]) {
        for (std::size_t i = 0; i < Count; ++i) {
            fonts_[i] = CreateGaugeFont(heights[i]);
        }
    }
    ~GaugeFonts() {
        for (HFONT font : fonts_) {
            if (font != nullptr) {
                DeleteObject(font);
            }
        }
    }
    GaugeFonts(const GaugeFonts&) = delete;
    GaugeFonts& operator=(const GaugeFonts&) = delete;

    HFONT operator[](std::size_t index) const { return fonts_[index]; }

  private:
    HFONT fonts_[Count] = {};
};

// The messages every gauge answers alike: creation, size and destruction notices, background
// erasing, the context-menu request and the style-bit messages. Returns whether the message was
// one of them, with the answer in result.
bool HandleCommonGaugeMessage(HWND window, std::uint32_t& style, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& result);

// Puts the gauge mapping on the context for a client rectangle; RestorePixelMapping undoes it
// before the drawing is copied to the screen pixel for pixel.
void ApplyGaugeMapping(HDC dc, std::uint32_t style, int logicalSize, const RECT& client);
void RestorePixelMapping(HDC dc);

// A pen or brush made for one paint: selected on construction, deselected and deleted when the
// scope ends.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), object_(object), old_(SelectObject(dc, object)) {}
    ~SelectedObject() {
        SelectObject(dc_, old_);
        DeleteObject(object_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ object_;
    HGDIOBJ old_;
};
