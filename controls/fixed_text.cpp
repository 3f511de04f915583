#include "fixed_text.h"

#include <cstring>

void CopyToField(char* field, std::size_t size, const char* text) {
    if (size == 0) {
        return;
    }
    const std::size_t length = strnlen(text, size - 1);
    std::memcpy(field, text, length);
    field[length] = '\0';
}

std::size_t CopyFromField(const char* field, char* buffer, std::size_t size) {
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    const std::size_t length = strnlen(field, size - 1);
    std::memcpy(buffer, field, length);
    buffer[length] = '\0';
    return length;
}
