#pragma once
// Counts the GDI objects and device contexts this test program makes and has not freed yet. Wine
// does not answer GetGuiResources, so the program's own imports of the creating and freeing calls
// are redirected (once, for the whole process) to counting versions that then call the real ones.
#include <optional>
#include <vector>
#include <windows.h>

class GdiCounter {
  public:
    // Starts counting from nothing; objects made before are not counted.
    GdiCounter();
    GdiCounter(const GdiCounter&) = delete;
    GdiCounter& operator=(const GdiCounter&) = delete;

    // Fonts, pens, brushes, regions, bitmaps, memory and window device contexts made since the
    // counter started and not freed yet.
    long Live() const;
    // What the fonts among them were made from.
    std::vector<LOGFONTA> LiveFonts() const;
    // How many of the calls were redirected; 0 means nothing is being counted.
    static int Redirected();
};

// GetGuiResources for this process, or nothing where the system does not answer it: Wine says 0,
// which no process with a window has, and a comparison of 0 with 0 would prove nothing.
std::optional<DWORD> SystemGdiObjects();
