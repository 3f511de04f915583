#pragma once
#include "sim_process.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

// tevrix-sim serving a paced line on a pseudo-terminal, and the program's device object found on
// it the way the console start-up finds it: hardware search, vendor ID, then the line rate.
class BenchLink {
  public:
    BenchLink(const std::string& simulator, std::vector<std::string> options);
    ~BenchLink();
    BenchLink(const BenchLink&) = delete;
    BenchLink& operator=(const BenchLink&) = delete;

    // True when the device was found and the line now runs at `baud`.
    bool Connect(std::uint32_t baud);
    const std::string& Path() const { return sim_.Path(); }

  private:
    SimProcess sim_;
};

// Makes the hardware search try exactly these paths, in order.
void SetSearchCandidates(const std::vector<std::string>& paths);

using BenchClock = std::chrono::steady_clock;

inline double SecondsSince(BenchClock::time_point start) {
    return std::chrono::duration<double>(BenchClock::now() - start).count();
}
