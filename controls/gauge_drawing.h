#pragma once
// Window-side helpers that the gauge controls share: repaint on request, their font and the
// mapping of their logical space onto a device context.
#include <windows.h>

#include <cstdint>

// Setters with a repaint flag in lParam show the change at once when the flag is set.
void RepaintIfAsked(HWND window, LPARAM flag);

// The gauges' font: semi-bold variable-pitch Arial in proof quality, height in logical units.
HFONT CreateGaugeFont(int height);

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
