#pragma once
#include "corvane.h"
#include "fuzzed_replies.h"
#include "sim_line.h"

#include <cstddef>
#include <cstdint>

// A device object on an in-process simulated emulator whose answers the fuzzer steers. The port
// is opened directly, without the settle delays of a real open, so that a run takes microseconds.
class FuzzedDevice {
  public:
    explicit FuzzedDevice(const char* model);
    ~FuzzedDevice();
    FuzzedDevice(const FuzzedDevice&) = delete;
    FuzzedDevice& operator=(const FuzzedDevice&) = delete;

    // From now on the device's answers are steered by these bytes.
    void Steer(const std::uint8_t* data, std::size_t size);

    SimLine line;
    KVCorvane device;

  private:
    FuzzedReplies* replies_ = nullptr;
};

// The simulated models, for a fuzz input to choose from.
const char* ModelFromByte(std::uint8_t choice);

// Traps unless the result is CV_S_OK or one of the defined failure codes.
void CheckResult(CvResult result);
