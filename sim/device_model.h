#pragma once
#include "device_config.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One answer of the device, in the order it is sent.
struct Reply {
    std::vector<std::uint8_t> bytes;
    std::uint32_t delayMs = 0;
    // After `pauseAt` bytes the answer stops for `pauseMs`, then the rest follows (0: no pause).
    std::size_t pauseAt = 0;
    std::uint32_t pauseMs = 0;
    // The device's line rate after this answer has gone out; 0 = unchanged.
    std::uint32_t rateAfter = 0;
    // The line drops after these bytes.
    bool hangUp = false;
};

// The emulator device: takes the bytes that reach it, answers every request the device library
// sends, and keeps its RAM, banks, vendor ID and line rate. No timing and no I/O of its own.
class DeviceModel {
  public:
    explicit DeviceModel(DeviceConfig config);

    std::vector<Reply> Receive(const std::uint8_t* bytes, std::size_t count);
    // Forgets a request cut short (the line was idle too long, or purged).
    void DiscardPartial() { pending_.clear(); }

    std::uint32_t Rate() const { return rate_; }
    // Encrypted framing in use: a vendor ID is set and the family offers encryption.
    bool Encrypted() const;

    // The whole RAM: every bank in order; on a Skelmar, space 1 then space 2.
    std::vector<std::uint8_t> ram;
    std::uint8_t emulationBank = 0;
    std::uint8_t rwBank = 0;
    std::uint8_t serial[9];
    // Names of the requests received, in order, and how many of them had a wrong checksum (and
    // went unanswered).
    std::vector<std::string> requests;
    std::uint32_t badChecksums = 0;

  private:
    // Length of the request at the start of pending_: 0 = need more bytes, -1 = not a request.
    long RequestLength() const;
    std::string RequestName(const std::vector<std::uint8_t>& request) const;
    Reply Answer(std::vector<std::uint8_t>& request, const std::string& name);
    void ApplyFaults(const std::vector<std::uint8_t>& request, const std::string& name, Reply* reply);

    Reply Version();
    Reply Baud(const std::vector<std::uint8_t>& request);
    Reply Eeprom(const std::vector<std::uint8_t>& request);
    Reply Serial();
    Reply VendorWrite(const std::vector<std::uint8_t>& request);
    Reply Bank(const std::vector<std::uint8_t>& request);
    Reply SlowRead(std::vector<std::uint8_t>& request);
    Reply SlowWrite(std::vector<std::uint8_t>& request);
    Reply BulkRead(std::vector<std::uint8_t>& request);
    Reply BulkWrite(std::vector<std::uint8_t>& request);

    // Undoes the link encryption of a transfer request's fields (`length` bytes from *fields, the
    // two marker bytes first) and steps over the markers; false when the markers are wrong.
    // `seed` gets the cipher state that the reply's encryption continues from.
    bool OpenFields(std::uint8_t** fields, std::size_t length, std::uint8_t* seed);
    // `count` RAM bytes from `address` (wrapping at the end of RAM), encrypted when the link is,
    // followed by their checksum.
    Reply RamReply(std::uint32_t address, std::size_t count, std::uint8_t seed) const;
    void StoreRam(std::uint32_t address, const std::uint8_t* data, std::size_t count);

    std::uint32_t SlowAddress(const std::uint8_t* address) const;
    std::uint32_t BulkAddress(const std::uint8_t* address) const;
    std::size_t AddressBytes() const { return features_.skelmar ? 3 : 2; }

    DeviceConfig config_;
    DeviceFeatures features_;
    std::uint32_t rate_;
    std::vector<std::uint8_t> pending_;
    std::vector<std::uint32_t> faultSeen_;
    std::uint32_t dropSent_ = 0;
    bool dropArmed_ = false;
    bool dead_ = false;
};
