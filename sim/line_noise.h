#pragma once
#include <cstdint>
#include <string>

// What a line carries that is not an answer of the emulator.

// At a rate other than the device's, every byte sent across the line arrives as this many bytes
// of noise: framing errors split and merge characters, and the device answers what it misread.
constexpr std::uint32_t kNoisePerByte = 2;

// Bytes of a line at the wrong rate: the same sequence on every run, never the same twice in a row.
class LineNoise {
  public:
    std::uint8_t Next() {
        state_ = state_ * 1103515245u + 12345u;
        return static_cast<std::uint8_t>(state_ >> 16);
    }

  private:
    std::uint32_t state_ = 0x2545F491u;
};

// Line `number` of the endless text of a port that is not an emulator: position lines of a
// receiver and status lines of a board, each ending in CR LF.
std::string ChattyLine(std::uint32_t number);

// That text as one stream of bytes.
class ChattyText {
  public:
    // Byte `index` of the stream; reading forwards makes one line at a time.
    std::uint8_t At(std::uint64_t index);

  private:
    std::uint32_t number_ = 0;
    std::uint64_t start_ = 0;
    std::string line_ = ChattyLine(0);
};
