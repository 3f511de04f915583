#include "file_browse.h"

#include <commdlg.h>

BOOL BrowseForFile(HWND owner, char* path) {
    OPENFILENAMEA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = "All Files (*.*)\0*.*\0";
    request.nFilterIndex = 1;
    request.lpstrFile = path;
    request.nMaxFile = MAX_PATH;
    request.lpstrTitle = "Select file...";
    request.lpstrDefExt = "bin";
    request.Flags = OFN_CREATEPROMPT | OFN_OVERWRITEPROMPT;
    return GetOpenFileNameA(&request);
}

std::uint32_t GetFileSizeByName(const char* path) {
    if (path == nullptr || path[0] == '\0') {
        return 0;
    }
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 0;
    }
    const DWORD size = GetFileSize(file, nullptr);
    CloseHandle(file);
    return size == INVALID_FILE_SIZE ? 0 : size;
}
