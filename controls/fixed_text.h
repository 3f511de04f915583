#pragma once
// Texts that controls keep in fixed fields: cut to fit and always terminated.
#include <cstddef>

// Copies text into a field of size bytes, keeping at most size - 1 characters.
void CopyToField(char* field, std::size_t size, const char* text);

// Copies as much of a field's text as fits a buffer of size characters, terminator included;
// returns the number of characters copied, terminator not counted.
std::size_t CopyFromField(const char* field, char* buffer, std::size_t size);
