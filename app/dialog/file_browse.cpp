#include "file_browse.h"

#include "image_file.h"
#include "image_source.h"

#include <commdlg.h>

#include <string>

BOOL BrowseForFile(HWND owner, char* path, bool save) {
    OPENFILENAMEA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = "All Files (*.*)\0*.*\0"
                          "Binary images (*.bin)\0*.bin\0"
                          "Intel HEX (*.hex, *.ihx)\0*.hex;*.ihx\0"
                          "S-records (*.s19, *.s28, *.s37, *.srec, *.mot)\0*.s19;*.s28;*.s37;*.srec;*.mot\0";
    request.nFilterIndex = 1;
    request.lpstrFile = path;
    request.nMaxFile = MAX_PATH;
    request.lpstrTitle = "Select file...";
    request.lpstrDefExt = "bin";
    if (save) {
        request.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN | OFN_HIDEREADONLY;
        return GetSaveFileNameA(&request);
    }
    request.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    return GetOpenFileNameA(&request);
}

std::uint32_t GetFileSizeByName(const char* path) {
    if (path == nullptr || path[0] == '\0') {
        return 0;
    }
    ImageSource source;
    std::string failure;
    if (!OpenImage(&source.file, path, ImageOpen::ReadExisting) ||
        !LoadImageSource(&source, path, &failure)) {
        return 0;
    }
    const std::uint64_t size = SourceSize(&source);
    return size > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(size);
}
