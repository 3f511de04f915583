#include "kv_serial.h"

#include <algorithm>
#include <vector>

std::int32_t KVSerial::Open(const char* path) {
    if (handle != nullptr) {
        Close();
    }
    handle = OpenSerialBackend(path, &openError);
    if (handle == nullptr) {
        return 0;
    }
    LineSettings line;
    if (!handle->GetLine(&line)) {
        LogLine(logSink, "KVSerial: GetCommState Failed");
        Close();
        openError = PortOpenError::Failed;
        return 0;
    }
    line.baud = kOpenBaud;
    line.dataBits = 8;
    line.parity = false;
    line.ctsOutFlow = false;
    line.dsrOutFlow = false;
    line.dsrSensitivity = false;
    line.dtrOn = true;
    line.rtsOn = true;
    if (!handle->SetLine(line)) {
        LogLine(logSink, "KVSerial: SetCommState Failed");
        Close();
        openError = PortOpenError::Failed;
        return 0;
    }
    LogLine(logSink, "KVSerial: %s opened at %i baud", path, static_cast<int>(kOpenBaud));
    this->path = path;
    handle->Prepare(logSink);
    return 1;
}

void KVSerial::Close() {
    handle.reset();
    path.clear();
    LogLine(logSink, "KVSerial: Port Closed");
}

std::uint32_t KVSerial::CurrentBaud() const {
    LineSettings line;
    return handle != nullptr && handle->GetLine(&line) ? line.baud : 0;
}

std::int32_t KVSerial::SetupBuffers() {
    return handle != nullptr && handle->SetupQueues(kQueueBytes, kQueueBytes) ? 1 : 0;
}

std::int32_t KVSerial::SetDefaultTimeouts() {
    if (handle == nullptr) {
        return 0;
    }
    SerialTimeouts timeouts = kDefaultTimeouts;
    LineSettings line;
    if (handle->GetLine(&line) && line.baud != 0) {
        timeouts.writeMultiplier = WriteMultiplierFor(line.baud);
    }
    return handle->SetTimeouts(timeouts) ? 1 : 0;
}

std::int32_t KVSerial::SetReadTimeout(std::uint32_t milliseconds) {
    if (handle == nullptr) {
        return 0;
    }
    SerialTimeouts timeouts;
    if (!handle->GetTimeouts(&timeouts)) {
        LogLine(logSink, "KVSerial: GetCommTimeouts Failed");
        return 0;
    }
    timeouts.readConstant = milliseconds;
    if (!handle->SetTimeouts(timeouts)) {
        LogLine(logSink, "KVSerial: SetCommTimeouts Failed");
        return 0;
    }
    LogLine(logSink, "KVSerial: Comm Read Timeout Set To %i ms", static_cast<int>(milliseconds));
    return 1;
}

std::int32_t KVSerial::SetBaud(std::uint32_t baud) {
    if (handle == nullptr) {
        return 0;
    }
    LineSettings line;
    if (!handle->GetLine(&line)) {
        LogLine(logSink, "KVSerial: GetCommState Failed");
        return 0;
    }
    line.baud = baud;
    if (!handle->SetLine(line)) {
        LogLine(logSink, "KVSerial: SetCommState Failed");
        return 0;
    }
    LogLine(logSink, "KVSerial: Baud changed to %i", static_cast<int>(baud));
    // A write takes longer at a slower rate; its time-out follows.
    SerialTimeouts timeouts;
    if (handle->GetTimeouts(&timeouts) && timeouts.writeMultiplier != WriteMultiplierFor(baud)) {
        timeouts.writeMultiplier = WriteMultiplierFor(baud);
        if (handle->SetTimeouts(timeouts)) {
            LogLine(logSink, "KVSerial: Comm Write Timeout Set To %i ms + %i ms per byte",
                    static_cast<int>(timeouts.writeConstant), static_cast<int>(timeouts.writeMultiplier));
        }
    }
    return 1;
}

std::int32_t KVSerial::Purge() {
    return handle != nullptr && handle->Purge() ? 1 : 0;
}

std::uint32_t KVSerial::Write(const std::uint8_t* bytes, std::uint32_t count) {
    if (handle == nullptr) {
        return 0;
    }
    std::uint32_t written = handle->Write(bytes, count);
    LogHexDump(logSink, bytes, written, "KVSerial: Write");
    return written;
}

std::uint32_t KVSerial::Read(std::uint8_t* buffer, std::uint32_t count) {
    if (handle == nullptr) {
        return 0;
    }
    std::uint32_t read = handle->Read(buffer, count);
    LogHexDump(logSink, buffer, read, "KVSerial: Read");
    return read;
}

std::uint32_t KVSerial::Drain(std::uint32_t owed, std::uint32_t limitMs) {
    SerialTimeouts saved;
    if (handle == nullptr || !handle->GetTimeouts(&saved)) {
        return 0;
    }
    // Each read ends after the quiet window, or sooner with a buffer that the line fills in about
    // that time, so the reads are counted instead of timed: a line that never falls silent ends
    // the drain after limitMs all the same, on a real driver as on a simulated one.
    SerialTimeouts quiet = saved;
    quiet.readInterval = 0;
    quiet.readMultiplier = 0;
    quiet.readConstant = kDrainQuietMs;
    handle->SetTimeouts(quiet);
    LineSettings line;
    std::uint32_t baud = handle->GetLine(&line) && line.baud != 0 ? line.baud : 115200;
    std::vector<std::uint8_t> buffer(std::max<std::uint32_t>(64, baud / 10 * kDrainQuietMs / 1000));
    std::uint32_t drained = 0;
    for (std::uint32_t spent = 0; spent < limitMs; spent += kDrainQuietMs) {
        std::uint32_t got = handle->Read(buffer.data(), static_cast<std::uint32_t>(buffer.size()));
        LogHexDump(logSink, buffer.data(), got, "KVSerial: Drain");
        drained += got;
        if (got == 0 && drained >= owed) {
            break;
        }
    }
    handle->SetTimeouts(saved);
    LogLine(logSink, "KVSerial: Drained %i bytes", static_cast<int>(drained));
    return drained;
}
