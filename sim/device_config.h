#pragma once
#include <cstdint>
#include <string>
#include <vector>

// What goes wrong with the device's answers, for the requests a rule selects.
enum class FaultKind {
    Echo,    // sends the request back before its answer
    Silent,  // answers nothing
    Short,   // sends only the first `arg` bytes of the answer (default: half of it)
    BadSum,  // corrupts the last byte of the answer (the checksum of read data)
    Unknown, // puts '?' in the first byte of the answer
    Nak,     // refuses with a wrong acknowledgement ('E', or a wrong sum to an 'X' write)
    Stall,   // answers `arg` milliseconds late
    Drop,    // the line drops once `arg` answer bytes have been sent from the first match on
    Gap,     // the answer stops for `arg` milliseconds after `at` bytes (default: half), then goes on
};

struct FaultRule {
    FaultKind kind = FaultKind::Silent;
    // The request it selects by name ("VV", "S", "HR", "NS", "N", "B", "ZR", "ZW", "R", "W",
    // "w", "X"); empty selects every request.
    std::string command;
    std::uint32_t skip = 0;  // matching requests answered normally first
    std::uint32_t times = 0; // matching requests affected after that; 0 = all
    std::uint32_t arg = 0;
    bool argGiven = false;
    std::uint32_t at = 0;
    bool atGiven = false;
};

// The simulated device: its family, firmware, EEPROM record, serial record, RAM and line rate.
struct DeviceConfig {
    std::uint8_t letter = 'K';
    std::uint8_t major = 3;
    std::uint8_t minor = 0;
    // Byte 0 (model letter) and byte 3 (interface letter) of the hardware-information record.
    std::uint8_t recordModel = 'K';
    std::uint8_t interfaceLetter = 'U';
    // Vendor ID and eight serial-number bytes.
    std::uint8_t serial[9] = {'n', 'T', 'V', 'X', '0', '0', '0', '1', '7'};
    std::uint32_t ramSize = 0x10000;
    // The rate the device runs at until a baud switch.
    std::uint32_t rate = 115200;
    std::vector<FaultRule> faults;
    // Every answer is held back this long before its first byte, as a USB adapter's latency timer
    // holds what the device sent until it fills a USB packet or the timer runs out.
    std::uint32_t latencyMs = 0;
    // Not an emulator at all: the port streams text lines at `rate` (a GPS receiver, a board
    // printing its log) and never answers a request.
    bool chatty = false;
};

// The settings of a named model ("corvane", "dravel", "skelmar", ...; see ModelNames()).
bool ConfigForModel(const std::string& name, DeviceConfig* config);
std::string ModelNames();

// What the device's family and firmware offer.
struct DeviceFeatures {
    bool hwinfo = false;
    bool banks = false;
    bool bulk = false;
    bool encryption = false;
    bool skelmar = false;
};
DeviceFeatures FeaturesOf(const DeviceConfig& config);

bool ParseFaultRule(const std::string& text, FaultRule* rule);
