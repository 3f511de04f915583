#include "line_noise.h"

#include <cstdio>
#include <string>

std::string ChattyLine(std::uint32_t number) {
    char line[96];
    std::uint32_t seconds = 36000 + number;
    if (number % 3 == 2) {
        std::snprintf(line, sizeof line, "[%8u] sensor %u: temp=%u.%u C, battery %u mV\r\n", number * 250,
                      number % 4, 20 + number % 7, number % 10, 3300 + number % 91);
    } else {
        std::snprintf(line, sizeof line,
                      "$GPGGA,%02u%02u%02u,4807.%03u,N,01131.%03u,E,1,08,0.9,545.%u,M,46.9,M,,*%02X\r\n",
                      seconds / 3600 % 24, seconds / 60 % 60, seconds % 60, number % 1000,
                      (number * 7) % 1000, number % 10, (number * 37) & 0xFF);
    }
    return line;
}

std::uint8_t ChattyText::At(std::uint64_t index) {
    if (index < start_) {
        number_ = 0;
        start_ = 0;
        line_ = ChattyLine(0);
    }
    while (index >= start_ + line_.size()) {
        start_ += line_.size();
        line_ = ChattyLine(++number_);
    }
    return static_cast<std::uint8_t>(line_[index - start_]);
}
