#include "version.h"

#include <windows.h>

#include <vector>

int GetModuleVersionString(const char* modulePath, char* text) {
    char ownPath[MAX_PATH] = {};
    if (modulePath == nullptr) {
        GetModuleFileNameA(nullptr, ownPath, sizeof ownPath);
        modulePath = ownPath;
    }
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(modulePath, &handle);
    if (size == 0) {
        return 0;
    }
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(modulePath, 0, size, block.data())) {
        return 0;
    }
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &length) || info == nullptr ||
        length < sizeof(VS_FIXEDFILEINFO)) {
        return 0;
    }
    const std::uint16_t parts[4] = {HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                                    HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS)};
    FormatVersionText(parts, text, kVersionTextSize);
    return 1;
}
