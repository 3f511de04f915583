#include "state_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

std::string StateDirectory(std::string* why) {
    // A relative XDG_STATE_HOME is to be ignored, as an unset one.
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') {
        return (std::filesystem::path(state) / "tevrix").string();
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return (std::filesystem::path(home) / ".local/state/tevrix").string();
    }
    *why = "neither XDG_STATE_HOME nor HOME names a folder";
    return "";
}

bool ReplaceFileWith(const std::string& from, const std::string& to, std::string* why) {
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        *why = std::strerror(errno);
        return false;
    }
    return true;
}
