#pragma once
#include "corvane.h"

#include <cstdint>

// The loop that moves a block as a run of requests, each one unit of the block: request, reply,
// checksum, decryption, progress, cancel. Slow packets and bulk chunks differ only in what a
// layout names.

enum class Direction { Read, Write };

// The longest request header of either kind.
constexpr std::uint32_t kMaxRequestHeader = 8;

struct TransferLayout {
    Direction direction = Direction::Read;
    // The most bytes one request moves.
    std::uint32_t unitBytes = 0;
    std::uint32_t readTimeoutMs = 0;
    // Purge the line before every request rather than once before the first.
    bool purgeEachRequest = false;
    // Writes the request's header for the `*n` bytes at `address` into `out` (room for
    // kMaxRequestHeader bytes) and its length into `*length`; may shorten `*n`.
    CvResult (*header)(KVCorvane* device, Direction direction, std::uint32_t flags, std::uint32_t address,
                       bool encrypted, std::uint8_t* out, std::uint32_t* n, std::uint32_t* length) = nullptr;
    // The leading header bytes that go out in clear when the framing is encrypted.
    std::uint32_t clearBytes = 0;
    // A write's acknowledgement: its length, and whether it is the data's 16-bit sum rather than 'O'.
    std::uint32_t replyBytes = 1;
    bool sumAcknowledges = false;
    // What the log lines call the transfer: "<canceledName> - Operation Canceled",
    // "<timeoutName>: Read timed-out after ...", "<checksumName> Read Error - invalid packet
    // checksum ..."; a read's time-out line counts the unit's bytes that did come when
    // `timeoutCountsPart`.
    const char* canceledName = "";
    const char* timeoutName = "";
    bool timeoutCountsPart = false;
    const char* checksumName = "";
};

// Moves `size` bytes at `address` between the device and `readInto` (a read) or `writeFrom`
// (a write); the caller holds the request lock.
CvResult TransferUnits(KVCorvane* device, const TransferLayout& layout, std::uint8_t* readInto,
                       const std::uint8_t* writeFrom, std::uint32_t size, std::uint32_t address,
                       std::uint32_t flags, ProgressWindow progress);
