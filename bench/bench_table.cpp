#include "bench_table.h"

#include <cstdio>

namespace {

double Ratio(const TransferRow& row) {
    return row.seconds > 0 ? LineLimitSeconds(row.payload, row.baud) / row.seconds : 0;
}

bool Met(const TransferRow& row) {
    return row.correct && (row.target == 0 || Ratio(row) >= row.target);
}

bool Met(const TimeRow& row) {
    return row.target == 0 || row.seconds <= row.target;
}

const char* Verdict(const TransferRow& row) {
    if (!row.correct) {
        return "FAILED";
    }
    if (row.target == 0) {
        return "ok";
    }
    return Met(row) ? "met" : "missed";
}

} // namespace

double LineLimitSeconds(std::uint64_t payload, std::uint32_t baud) {
    return static_cast<double>(payload) * 10.0 / baud;
}

void PrintTransferTable(const std::vector<TransferRow>& rows) {
    std::printf(
        "\n| Transfer | Baud | Payload bytes | Seconds | Payload B/s | Line limit | Target | Result |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|---|\n");
    for (const auto& row : rows) {
        char target[16] = "-";
        if (row.target > 0) {
            std::snprintf(target, sizeof target, ">= %.0f%%", row.target * 100);
        }
        std::printf("| %s | %u | %llu | %.3f | %.0f | %.1f%% | %s | %s |\n", row.name.c_str(), row.baud,
                    static_cast<unsigned long long>(row.payload), row.seconds,
                    row.seconds > 0 ? static_cast<double>(row.payload) / row.seconds : 0, Ratio(row) * 100,
                    target, Verdict(row));
    }
    std::fflush(stdout);
}

void PrintTimeTable(const char* title, const std::vector<TimeRow>& rows) {
    std::printf("\n| %s | Seconds | Target | Result | Note |\n|---|---:|---:|---|---|\n", title);
    for (const auto& row : rows) {
        char target[24] = "-";
        if (row.target > 0) {
            std::snprintf(target, sizeof target, "<= %.3f", row.target);
        }
        std::printf("| %s | %.4f | %s | %s | %s |\n", row.name.c_str(), row.seconds, target,
                    row.target == 0 ? "-"
                    : Met(row)      ? "met"
                                    : "missed",
                    row.note.c_str());
    }
    std::fflush(stdout);
}

bool AllMet(const std::vector<TransferRow>& transfers, const std::vector<TimeRow>& times) {
    for (const auto& row : transfers) {
        if (!Met(row)) {
            return false;
        }
    }
    for (const auto& row : times) {
        if (!Met(row)) {
            return false;
        }
    }
    return true;
}

bool AllCorrect(const std::vector<TransferRow>& transfers) {
    for (const auto& row : transfers) {
        if (!row.correct) {
            return false;
        }
    }
    return true;
}
