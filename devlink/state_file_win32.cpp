#include "state_file.h"

#include <windows.h>

#include <cstdlib>
#include <filesystem>

std::string StateDirectory(std::string* why) {
    const char* local = std::getenv("LOCALAPPDATA");
    if (local != nullptr && local[0] != '\0') {
        return (std::filesystem::path(local) / "Tevrix").string();
    }
    *why = "LOCALAPPDATA names no folder";
    return "";
}

bool ReplaceFileWith(const std::string& from, const std::string& to, std::string* why) {
    if (!MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        *why = "error " + std::to_string(GetLastError());
        return false;
    }
    return true;
}
