#include "fuzzed_replies.h"

#include <algorithm>

std::uint8_t FuzzedReplies::Next() {
    if (left_ == 0) {
        return 0;
    }
    --left_;
    return *data_++;
}

std::uint32_t FuzzedReplies::Read(std::uint8_t* buffer, std::uint32_t count) {
    std::uint32_t got = device_->Read(buffer, count);
    if (left_ == 0) {
        return got;
    }
    std::uint8_t control = Next();
    switch (control & 3) {
    case 0:
        return got;
    case 1: {
        // The answer is whatever the input says, up to the count asked for.
        std::size_t wanted = std::size_t{Next()} << 8 | Next();
        std::uint32_t length = static_cast<std::uint32_t>(std::min<std::size_t>({wanted, left_, count}));
        for (std::uint32_t i = 0; i < length; ++i) {
            buffer[i] = Next();
        }
        return length;
    }
    case 2:
        if (got > 0) {
            buffer[Next() % got] ^= static_cast<std::uint8_t>(Next() | 1);
        }
        return got;
    default:
        return got == 0 ? 0 : Next() % got;
    }
}
