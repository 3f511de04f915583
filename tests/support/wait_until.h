#pragma once
// Waiting for an event rather than for a time: a loaded machine makes the wait longer, never the
// test red. The limits are generous bounds, not expectations.
#include <chrono>
#include <functional>

// Polls `condition` every 20 ms until it holds or `limit` has passed; returns its last value.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit);

// Milliseconds since `start`.
long ElapsedMs(std::chrono::steady_clock::time_point start);
