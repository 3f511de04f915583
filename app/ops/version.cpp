#include "version.h"

#include <cstdio>
#include <string>

void FormatVersionText(const std::uint16_t parts[4], char* text, std::size_t size) {
    std::snprintf(text, size, "%i.%.2i.%.4i.%.2i", parts[0], parts[1], parts[2], parts[3]);
}

const char* ProgramVersionText() {
    static const std::string text = [] {
        char made[kVersionTextSize] = {};
        GetModuleVersionString(nullptr, made);
        return std::string(made);
    }();
    return text.c_str();
}
