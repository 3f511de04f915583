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
