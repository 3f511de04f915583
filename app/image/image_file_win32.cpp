#include "image_file.h"

#include <windows.h>

namespace {

HANDLE Handle(const ImageFile* file) {
    return static_cast<HANDLE>(file->handle);
}

bool Seek(ImageFile* file, std::uint64_t offset) {
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(Handle(file), position, nullptr, FILE_BEGIN) != 0;
}

} // namespace

bool OpenImage(ImageFile* file, const char* path, ImageOpen mode) {
    DWORD access = GENERIC_READ;
    DWORD share = FILE_SHARE_READ;
    DWORD disposition = OPEN_EXISTING;
    switch (mode) {
    case ImageOpen::ReadExisting:
        break;
    case ImageOpen::WriteKeep:
        access = GENERIC_WRITE;
        share = 0;
        disposition = OPEN_ALWAYS;
        break;
    case ImageOpen::WriteExisting:
        access = GENERIC_WRITE;
        share = 0;
        break;
    case ImageOpen::Watch:
        share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        break;
    }
    HANDLE handle = CreateFileA(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        file->openError = static_cast<int>(GetLastError());
        return false;
    }
    file->handle = handle;
    return true;
}

std::string OpenErrorText(const ImageFile* file) {
    char text[512] = {};
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(file->openError), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text,
                       sizeof text, nullptr);
    std::string message(text, length);
    // The system's text ends its own line.
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
        message.pop_back();
    }
    if (message.empty()) {
        message = "error " + std::to_string(file->openError);
    }
    return message;
}

bool CanCreateImage(const char* path) {
    // A missing folder on the way is ERROR_PATH_NOT_FOUND, an existing file no error at all.
    return GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_FILE_NOT_FOUND;
}

void CloseImage(ImageFile* file) {
    if (file->handle != nullptr) {
        CloseHandle(Handle(file));
        file->handle = nullptr;
    }
}

bool IsImageOpen(const ImageFile* file) {
    return file->handle != nullptr;
}

std::uint64_t ImageSize(const ImageFile* file) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(Handle(file), &size) || size.QuadPart < 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(size.QuadPart);
}

std::uint32_t ReadImageAt(ImageFile* file, std::uint64_t offset, std::uint8_t* buffer, std::uint32_t size) {
    if (!Seek(file, offset)) {
        return 0;
    }
    std::uint32_t done = 0;
    while (done < size) {
        DWORD got = 0;
        if (!ReadFile(Handle(file), buffer + done, size - done, &got, nullptr) || got == 0) {
            break;
        }
        done += got;
    }
    return done;
}

bool WriteImageAt(ImageFile* file, std::uint64_t offset, const std::uint8_t* buffer, std::uint32_t size) {
    if (!Seek(file, offset)) {
        return false;
    }
    std::uint32_t done = 0;
    while (done < size) {
        DWORD put = 0;
        if (!WriteFile(Handle(file), buffer + done, size - done, &put, nullptr) || put == 0) {
            return false;
        }
        done += put;
    }
    return true;
}

bool TruncateImage(ImageFile* file, std::uint64_t size) {
    return Seek(file, size) && SetEndOfFile(Handle(file)) != 0;
}
