#include "version.h"

int GetModuleVersionString(const char*, char* text) {
    const std::uint16_t parts[4] = {TEVRIX_FILEVERSION};
    FormatVersionText(parts, text, kVersionTextSize);
    return 1;
}
