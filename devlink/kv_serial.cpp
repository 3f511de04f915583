#include "kv_serial.h"

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
    handle->Prepare(logSink);
    return 1;
}

void KVSerial::Close() {
    handle.reset();
    LogLine(logSink, "KVSerial: Port Closed");
}

std::int32_t KVSerial::SetupBuffers() {
    return handle != nullptr && handle->SetupQueues(kQueueBytes, kQueueBytes) ? 1 : 0;
}

std::int32_t KVSerial::SetDefaultTimeouts() {
    return handle != nullptr && handle->SetTimeouts(kDefaultTimeouts) ? 1 : 0;
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
