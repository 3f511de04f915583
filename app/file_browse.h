#pragma once
#include <windows.h>

#include <cstdint>

// Asks for a file with the platform's open-file dialog; `path` (MAX_PATH bytes) receives the
// choice. Returns non-zero when the user chose a file.
BOOL BrowseForFile(HWND owner, char* path);

// The file's size in bytes; 0 for an empty path or a file that cannot be opened.
std::uint32_t GetFileSizeByName(const char* path);
