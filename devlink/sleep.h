#pragma once
#include <cstdint>
#include <functional>

// Settle delays of the device protocol.
void SleepMs(std::uint32_t milliseconds);

using Sleeper = std::function<void(std::uint32_t milliseconds)>;

// Routes every later delay through `sleeper`, so that a test can see the pauses instead of
// waiting them out (an empty function restores the real sleep).
void SetSleeper(Sleeper sleeper);
