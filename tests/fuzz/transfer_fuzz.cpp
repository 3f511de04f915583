// Feeds arbitrary answers to block and bulk transfers, read and write, plain and encrypted,
// on the models with their different addressing. The device is identified over a sound line
// first; then the input chooses the transfer and steers every answer. The host buffer is
// exactly the transfer's size, so any overrun is caught; results must be defined codes and the
// lock and cancel flag must be released on every path.
#include "fuzzed_device.h"

#include <memory>

namespace {

// The transfer an input asks for, from its first eight bytes.
struct Request {
    std::uint8_t model;
    std::uint8_t kind;
    std::uint8_t flags;
    std::uint32_t size;
    std::uint32_t address;
};

constexpr std::size_t kRequestBytes = 8;
constexpr std::uint32_t kMaxSize = 0x3000;

Request Decode(const std::uint8_t* data) {
    Request request;
    request.model = data[0];
    request.kind = data[1];
    request.flags = data[2] & 0x7F;
    request.size = (std::uint32_t{data[3]} << 8 | data[4]) % (kMaxSize + 1);
    request.address = std::uint32_t{data[5]} << 16 | std::uint32_t{data[6]} << 8 | data[7];
    // The high bit of the kind moves the address to the top of the 32-bit range.
    if (request.kind & 0x80) {
        request.address |= 0xFF000000u;
    }
    return request;
}

void Prepare(KVCorvane* device, const Request& request) {
    std::uint8_t version[3];
    if (GetFirmwareVersion(device, version) != CV_S_OK) {
        return;
    }
    IdentifyHardware(device, version);
    if (request.kind & 0x10) {
        SetVendorID(device, 3);
    }
    if (request.kind & 0x20) {
        SetBank(device, 8, 0, 1, 0);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kRequestBytes) {
        return 0;
    }
    Request request = Decode(data);
    FuzzedDevice fuzzed(ModelFromByte(request.model));
    KVCorvane* device = &fuzzed.device;
    Prepare(device, request);
    fuzzed.Steer(data + kRequestBytes, size - kRequestBytes);

    auto buffer = std::make_unique<std::uint8_t[]>(request.size);
    for (std::uint32_t i = 0; i < request.size; ++i) {
        buffer[i] = static_cast<std::uint8_t>(i * 7);
    }
    device->cancel = (request.kind & 0x40) ? 1 : 0;
    CvResult result = CV_S_OK;
    switch (request.kind & 3) {
    case 0:
        result = ReadBlock(device, buffer.get(), request.size, request.address, request.flags, nullptr);
        break;
    case 1:
        result = WriteBlock(device, buffer.get(), request.size, request.address, request.flags, nullptr);
        break;
    default:
        result =
            WriteBlockBothSpaces(device, buffer.get(), request.size, request.address, request.flags, nullptr);
        break;
    }
    CheckResult(result);
    if (device->idle != 1 || device->cancel != 0) {
        __builtin_trap();
    }
    return 0;
}
