#pragma once
// Gauges under test in one shared host window, and pixel helpers beyond those of the host.
#include "control_test_support.h"
#include "window_capture.h"

#include <windows.h>

#include <vector>

// Registers both gauge classes once per process and returns the atoms of that first registration.
struct GaugeAtoms {
    ATOM status;
    ATOM analog;
};
GaugeAtoms RegisterGaugesOnce();

// One host serves every test of the process: destroying a top-level window costs Wine about two
// seconds on a screen without a window manager.
TestHost& SharedHost();

// The gauges a test creates in the shared host, destroyed when the test ends.
class GaugeChildren {
  public:
    GaugeChildren();
    ~GaugeChildren();
    GaugeChildren(const GaugeChildren&) = delete;
    GaugeChildren& operator=(const GaugeChildren&) = delete;

    // A visible control of the given client size.
    HWND Child(const char* className, int width, int height);

    static constexpr int kChildId = 77;

  private:
    std::vector<HWND> children_;
};

// Pixels darker than mid-grey in every channel (text, whatever its smoothing).
int CountDarkPixels(const Image& image, int left, int top, int right, int bottom);

// Invalidates the whole control and returns what it then shows.
Image Repainted(HWND control);
