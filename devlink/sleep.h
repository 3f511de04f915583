#pragma once
#include <chrono>
#include <cstdint>
#include <thread>

// Settle delays of the device protocol.
inline void SleepMs(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
