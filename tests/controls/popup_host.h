#pragma once
// A visible top-level window to put a control under test in, recording what the control reports
// to its parent.
#include "png_writer.h"

#include <windows.h>

#include <cstdint>

class PopupHost {
  public:
    PopupHost();
    ~PopupHost();
    PopupHost(const PopupHost&) = delete;
    PopupHost& operator=(const PopupHost&) = delete;

    // Creates a child control of the class with the given client size at (10, 10).
    HWND Create(const char* className, int width, int height, int id = 100);

    HWND window() const { return window_; }
    WPARAM lastCommandWParam() const { return lastCommandWParam_; }
    LPARAM lastCommandLParam() const { return lastCommandLParam_; }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    WPARAM lastCommandWParam_ = 0;
    LPARAM lastCommandLParam_ = 0;
};

// A COLORREF (0x00BBGGRR) as captured pixels hold it (0x00RRGGBB).
constexpr std::uint32_t Rgb(COLORREF colour) {
    return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

// Number of pixels of the colour in the rectangle [left, right) x [top, bottom).
int CountPixels(const Image& image, int left, int top, int right, int bottom, std::uint32_t rgb);
