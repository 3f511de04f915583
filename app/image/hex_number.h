#pragma once
#include <cstdint>

// The value of one hexadecimal digit, -1 for any other character.
int HexDigitValue(char c);

// A number as the user types it: hexadecimal digits with an optional "0x" or "0X" in front,
// blanks around it allowed, the value within 32 bits. False, with the value unchanged, for
// anything else: an empty text, a stray character, a sign, or a value above 0xFFFFFFFF.
bool ParseHex(const char* text, std::uint32_t* value);
