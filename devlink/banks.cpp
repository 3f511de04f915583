#include "corvane.h"
#include "framing.h"

namespace {

// No bank has this number: a transfer that compares its bank with it always selects it again.
constexpr std::uint8_t kUnknownBank = 0xFF;

const char* BankName(std::int32_t rw, bool set, std::int32_t persistent) {
    if (rw) {
        return "R/W";
    }
    if (!set) {
        return "Active Emulation";
    }
    return persistent ? "Persistent Emulation" : "Non-persistent Emulation";
}

// One bank request and its one-byte reply; false when no byte came back.
bool Exchange(KVCorvane* device, std::uint8_t selector, std::uint8_t value, std::uint8_t* reply) {
    std::uint8_t request[4] = {'B', selector, value, 0};
    request[3] = RequestChecksum(request, 3);
    device->port.Purge();
    device->port.Write(request, 4);
    if (device->port.Read(reply, 1) == 1) {
        return true;
    }
    DiscardReply(device, 1);
    return false;
}

} // namespace

CvResult GetBank(KVCorvane* device, std::uint8_t* bank, std::int32_t rw) {
    if (!(device->capabilities & CAPS_BANKS)) {
        return CV_E_REQUEST_NOT_SUPPORTED;
    }
    const char* name = BankName(rw, false, 0);
    std::uint8_t selector = rw ? 'R' : 'E';
    if (!TakeRequestLock(device)) {
        return CV_E_PORT_BUSY;
    }
    std::uint8_t reply = 0;
    CvResult result = CV_S_OK;
    if (Exchange(device, selector, selector, &reply) && reply != '?') {
        LogLine(device->logSink, "KVCorvane: Get %s Bank Succeeded: Bank %i", name, reply);
        (rw ? device->rwBank : device->emulationBank) = reply;
        if (bank != nullptr) {
            *bank = reply;
        }
    } else {
        LogLine(device->logSink, "KVCorvane: Get %s Bank Failed!", name);
        result = CV_E_INVALID_RESPONSE;
        if (reply == '?') {
            DiscardReply(device, 0);
        }
    }
    ReleaseRequestLock(device);
    return result;
}

CvResult SetBank(KVCorvane* device, std::uint8_t bank, std::int32_t rw, std::int32_t persistent,
                 std::uint32_t options) {
    if (!(device->capabilities & CAPS_BANKS)) {
        return CV_E_REQUEST_NOT_SUPPORTED;
    }
    if (rw && bank > 8) {
        return CV_E_INVALID_REQUEST_PARAM;
    }
    const char* name = BankName(rw, true, persistent);
    std::uint8_t selector = rw ? 'R' : (persistent ? 'S' : 'E');
    bool lockHeld = options & kBankLockHeld;
    if (!lockHeld && !TakeRequestLock(device)) {
        return CV_E_PORT_BUSY;
    }
    std::uint8_t reply = 0;
    CvResult result = CV_S_OK;
    bool answered = Exchange(device, selector, bank, &reply);
    if (answered && reply == 'O') {
        LogLine(device->logSink, "KVCorvane: Set %s Bank Succeeded: Bank %i", name, bank);
        (rw ? device->rwBank : device->emulationBank) = bank;
    } else {
        if (answered) {
            DiscardReply(device, 0);
        }
        LogLine(device->logSink, "KVCorvane: Set %s Bank Failed!", name);
        result = CV_E_INVALID_RESPONSE;
        // The device may have switched all the same, with only its answer lost.
        if (rw) {
            device->rwBank = kUnknownBank;
        }
    }
    if (!lockHeld) {
        ReleaseRequestLock(device);
    }
    return result;
}
