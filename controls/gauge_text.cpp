#include "gauge_text.h"

#include <cstring>
#include <limits>
#include <new>

void GaugeText::Store(const char* text, std::size_t maxLength) {
    text_.reset();
    length_ = 0;
    if (text == nullptr || maxLength == 0) {
        return;
    }
    // A maximum of "unlimited" (the largest size) must not wrap to a measuring limit of 0.
    const std::size_t limit = maxLength < std::numeric_limits<std::size_t>::max() ? maxLength + 1 : maxLength;
    const std::size_t length = strnlen(text, limit);
    const std::size_t kept = length <= maxLength ? length : 0;
    std::unique_ptr<char[]> copy(new (std::nothrow) char[kept + 1]);
    if (!copy) {
        return;
    }
    std::memcpy(copy.get(), text, kept);
    copy[kept] = '\0';
    text_ = std::move(copy);
    length_ = kept;
}

void GaugeText::CopyOut(char* buffer, std::size_t size) const {
    if (buffer == nullptr || size == 0) {
        return;
    }
    const std::size_t count = length_ < size - 1 ? length_ : size - 1;
    if (count > 0) {
        std::memcpy(buffer, text_.get(), count);
    }
    buffer[count] = '\0';
}

std::size_t CaptionLengthToDraw(const GaugeText& caption) {
    return caption.Length() < 100 ? caption.Length() : 0;
}
