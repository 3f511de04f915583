#include "buffer.h"

#include <new>

Buffer Allocate(std::uint32_t size) {
    return Buffer(new (std::nothrow) std::uint8_t[size]());
}
