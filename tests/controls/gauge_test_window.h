#pragma once
// A visible top-level parent for gauges under test (it records the WM_COMMAND its children send)
// and pixel helpers for checking what they draw.
#include "window_capture.h"

#include <windows.h>

#include <cstdint>
#include <vector>

// Registers both gauge classes once per process and returns the atoms of that first registration.
struct GaugeAtoms {
    ATOM status;
    ATOM analog;
};
GaugeAtoms RegisterGaugesOnce();

class TestParent {
  public:
    TestParent();
    ~TestParent();
    TestParent(const TestParent&) = delete;
    TestParent& operator=(const TestParent&) = delete;

    // A visible child control of the given client size at the parent's top-left corner.
    HWND Child(const char* className, int width, int height);
    HWND Window() const { return window_; }

    static constexpr int kChildId = 77;
    // The last WM_COMMAND the parent received, and how many it received.
    static WPARAM lastCommandW;
    static LPARAM lastCommandL;
    static int commandCount;

  private:
    HWND window_;
    std::vector<HWND> children_;
};

// The Image pixel (0x00RRGGBB) of a colour given as 0x00BBGGRR.
std::uint32_t PixelOf(COLORREF colour);

// Pixels of exactly this colour inside [left, right) x [top, bottom).
int CountPixels(const Image& image, std::uint32_t pixel, int left, int top, int right, int bottom);
// Pixels darker than mid-grey in every channel (text, whatever its smoothing).
int CountDarkPixels(const Image& image, int left, int top, int right, int bottom);
// Whether the two images have the same pixels inside the area.
bool SameArea(const Image& a, const Image& b, int left, int top, int right, int bottom);

// Invalidates the whole control and returns what it then shows.
Image Repainted(HWND control);
// Saves a screenshot of the control as an artifact.
void SaveScreenshot(HWND control, const char* fileName);
