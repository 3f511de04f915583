#include "gui_files.h"

#include <windows.h>

#include <cstdio>

ScratchDir::ScratchDir() {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    char name[MAX_PATH];
    std::snprintf(name, sizeof name, "%stevrix-gui-%lu-%llu", temp, GetCurrentProcessId(),
                  static_cast<unsigned long long>(GetTickCount64()));
    CreateDirectoryA(name, nullptr);
    dir_ = name;
}

ScratchDir::~ScratchDir() {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((dir_ + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                DeleteFileA(Path(entry.cFileName).c_str());
            }
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(dir_.c_str());
}

std::vector<std::uint8_t> Pattern(std::size_t size, std::uint8_t seed) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>((i * 7 + (i >> 8) * 13 + seed) & 0xFF);
    }
    return bytes;
}

bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return bytes;
    }
    std::uint8_t chunk[4096];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    std::fclose(file);
    return bytes;
}
