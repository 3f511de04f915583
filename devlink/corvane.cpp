#include "corvane.h"

#include <cstring>

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
