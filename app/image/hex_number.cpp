#include "hex_number.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool ParseHex(const char* text, std::uint32_t* value) {
    while (IsBlank(*text)) {
        ++text;
    }
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text += 2;
    }
    std::uint64_t number = 0;
    bool digits = false;
    for (; HexDigitValue(*text) >= 0; ++text) {
        number = number * 16 + static_cast<std::uint64_t>(HexDigitValue(*text));
        // Leading zeros may make the text long; only the value must fit.
        if (number > UINT32_MAX) {
            return false;
        }
        digits = true;
    }
    while (IsBlank(*text)) {
        ++text;
    }
    if (!digits || *text != '\0') {
        return false;
    }
    *value = static_cast<std::uint32_t>(number);
    return true;
}
