#include "fuzzed_device.h"

#include <iterator>
#include <memory>

namespace {

DeviceConfig ConfigOf(const char* model) {
    DeviceConfig config;
    ConfigForModel(model, &config);
    return config;
}

} // namespace

FuzzedDevice::FuzzedDevice(const char* model) : line(ConfigOf(model)) {
    SetSerialOpener([this](const char*) -> std::unique_ptr<SerialBackend> {
        auto replies = std::make_unique<FuzzedReplies>(line.Connect());
        replies_ = replies.get();
        return replies;
    });
    device.port.Open("fuzz");
    device.port.SetupBuffers();
    device.port.SetDefaultTimeouts();
    SetSerialOpener({});
}

FuzzedDevice::~FuzzedDevice() {
    device.port.Close();
}

void FuzzedDevice::Steer(const std::uint8_t* data, std::size_t size) {
    if (replies_ != nullptr) {
        replies_->Steer(data, size);
    }
}

const char* ModelFromByte(std::uint8_t choice) {
    static const char* const kModels[] = {"corvane", "dravel",  "dravel2", "skelmar",  "vespin1",
                                          "vespin2", "quorren", "pardyn",  "glintsear"};
    return kModels[choice % std::size(kModels)];
}

void CheckResult(CvResult result) {
    if (result > 0 || result < -24) {
        __builtin_trap();
    }
}
