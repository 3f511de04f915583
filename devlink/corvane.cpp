#include "corvane.h"

#include <cstring>

// The program attaches the file log named by TEVRIX_DEVICE_LOG, if any, to the device and its port.
KVCorvane g_device(DeviceLogFromEnvironment());

KVCorvane::KVCorvane(LogSink* sink) : logSink(sink) {
    std::memcpy(key, kLinkKey, sizeof key);
    port.logSink = sink;
}

bool TakeRequestLock(KVCorvane* device) {
    if (!device->requestEvent.Wait(kRequestLockWaitMs)) {
        return false;
    }
    device->idle = 0;
    return true;
}

void ReleaseRequestLock(KVCorvane* device) {
    device->idle = 1;
    device->requestEvent.Set();
}
