#pragma once
#include <windows.h>

#include <cstdint>

// Asks for a file; `path` (MAX_PATH bytes) receives the choice. A file to read from must exist
// (the open-file dialog); a file to `save` into is chosen with the save-as dialog, which asks
// before an existing file is overwritten. Returns non-zero when the user chose a file.
BOOL BrowseForFile(HWND owner, char* path, bool save);

// The size of the file's image: its length in bytes, or for a HEX or S-record file one past the
// highest address its records give; 0 for an empty path, a file that cannot be opened or records
// that are refused.
std::uint32_t GetFileSizeByName(const char* path);
