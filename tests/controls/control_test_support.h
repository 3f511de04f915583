#pragma once
// A visible top-level window to hold the controls under test, recording the WM_COMMAND messages it
// receives, and pixel helpers for the screenshots.
#include "png_writer.h"

#include <cstdint>
#include <string>
#include <vector>
#include <windows.h>

// A top-level pop-up of the class, shown without being activated: Wine waits two seconds for the
// window manager when an active top-level window goes, and there is no window manager here.
HWND ShowInactivePopup(const char* className, const char* title, int x, int y, int width, int height);

struct ReceivedCommand {
    WPARAM wParam;
    LPARAM lParam;
};

class TestHost {
  public:
    TestHost(int width, int height);
    ~TestHost();
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    HWND window() const { return window_; }
    // Creates a visible child control of the class at (x, y), with the identifier.
    HWND CreateChild(const char* className, const char* text, int x, int y, int width, int height, int id = 1,
                     DWORD style = 0, DWORD exStyle = 0) const;
    // Commands received so far, including those posted and dispatched since.
    const std::vector<ReceivedCommand>& commands();
    // The latest of them, or zeros when none came.
    ReceivedCommand lastCommand();

  private:
    static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_;
    std::vector<ReceivedCommand> commands_;
};

// A screen colour (0x00BBGGRR) as a captured pixel holds it (0x00RRGGBB).
constexpr std::uint32_t PixelOf(COLORREF colour) {
    return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

// How many pixels of the rectangle [left, right) x [top, bottom) equal the colour.
int CountPixels(const Image& image, int left, int top, int right, int bottom, std::uint32_t pixel);
// Whether the two images have the same pixels inside the area.
bool SameArea(const Image& a, const Image& b, int left, int top, int right, int bottom);

// Saves the image under the test's artifact directory.
void SaveScreenshot(const Image& image, const std::string& name);
// Saves what the control shows.
void SaveScreenshot(HWND control, const std::string& name);
