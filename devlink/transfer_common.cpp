#include "transfer_common.h"

CvResult FinishTransfer(KVCorvane* device, ProgressWindow progress, CvResult result, bool locked) {
    SendProgress(progress, kProgressSetPos, 0, 0);
    if (result == CV_E_PORT_BUSY) {
        return result;
    }
    if (device->port.IsOpen()) {
        device->port.SetReadTimeout(kStandardReadTimeoutMs);
    }
    if (locked) {
        ReleaseRequestLock(device);
    }
    device->cancel = 0;
    return result;
}

CvResult WriteInBothSpaces(WriteFunction write, KVCorvane* device, const std::uint8_t* buffer,
                           std::uint32_t size, std::uint32_t address, std::uint32_t flags,
                           ProgressWindow progress) {
    constexpr std::uint32_t kSpaces = CV_XFER_SPACE1 | CV_XFER_SPACE2 | CV_XFER_NO_SPACE;
    if (!(device->capabilities & CAPS_SKELMAR) || (flags & kSpaces)) {
        return write(device, buffer, size, address, flags, progress);
    }
    CvResult result = write(device, buffer, size, address, flags | CV_XFER_SPACE2, progress);
    if (result < 0) {
        return result;
    }
    return write(device, buffer, size, address, flags | CV_XFER_SPACE1, progress);
}
