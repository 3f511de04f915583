#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One measured transfer: payload bytes moved in `seconds` on a line of `baud`.
struct TransferRow {
    std::string name;
    std::uint32_t baud = 0;
    std::uint64_t payload = 0;
    double seconds = 0;
    // The target ratio to the line limit, 0 when the case has none.
    double target = 0;
    // False when the transfer failed or moved the wrong bytes.
    bool correct = false;
};

// One measured time with its target, both in seconds (target 0: none).
struct TimeRow {
    std::string name;
    double seconds = 0;
    double target = 0;
    std::string note;
};

// The line's limit for a payload: 10 bits per byte at the baud rate.
double LineLimitSeconds(std::uint64_t payload, std::uint32_t baud);

void PrintTransferTable(const std::vector<TransferRow>& rows);
void PrintTimeTable(const char* title, const std::vector<TimeRow>& rows);
bool AllCorrect(const std::vector<TransferRow>& transfers);
// True when every row with a target met it and every transfer was correct.
bool AllMet(const std::vector<TransferRow>& transfers, const std::vector<TimeRow>& times);
