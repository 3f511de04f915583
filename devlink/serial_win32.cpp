// The serial driver on Windows: a COM device opened for synchronous access, its line-control
// block changed only in the fields the device library sets.
#include "serial_backend.h"

#include <windows.h>

namespace {

class Win32Serial final : public SerialBackend {
  public:
    explicit Win32Serial(HANDLE handle) : handle_(handle) {}
    ~Win32Serial() override { CloseHandle(handle_); }

    bool GetLine(LineSettings* line) override {
        dcb_ = DCB{};
        dcb_.DCBlength = sizeof dcb_;
        if (!GetCommState(handle_, &dcb_)) {
            return false;
        }
        line->baud = dcb_.BaudRate;
        line->dataBits = dcb_.ByteSize;
        line->parity = dcb_.Parity != NOPARITY;
        line->ctsOutFlow = dcb_.fOutxCtsFlow != 0;
        line->dsrOutFlow = dcb_.fOutxDsrFlow != 0;
        line->dsrSensitivity = dcb_.fDsrSensitivity != 0;
        line->dtrOn = dcb_.fDtrControl == DTR_CONTROL_ENABLE;
        line->rtsOn = dcb_.fRtsControl == RTS_CONTROL_ENABLE;
        return true;
    }

    // Writes back the block GetLine read, with the device library's fields replaced.
    bool SetLine(const LineSettings& line) override {
        dcb_.BaudRate = line.baud;
        dcb_.ByteSize = line.dataBits;
        dcb_.Parity = line.parity ? EVENPARITY : NOPARITY;
        dcb_.fOutxCtsFlow = line.ctsOutFlow;
        dcb_.fOutxDsrFlow = line.dsrOutFlow;
        dcb_.fDsrSensitivity = line.dsrSensitivity;
        dcb_.fDtrControl = line.dtrOn ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
        dcb_.fRtsControl = line.rtsOn ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
        return SetCommState(handle_, &dcb_) != 0;
    }

    bool GetTimeouts(SerialTimeouts* timeouts) override {
        COMMTIMEOUTS t{};
        if (!GetCommTimeouts(handle_, &t)) {
            return false;
        }
        timeouts->readInterval = t.ReadIntervalTimeout;
        timeouts->readMultiplier = t.ReadTotalTimeoutMultiplier;
        timeouts->readConstant = t.ReadTotalTimeoutConstant;
        timeouts->writeMultiplier = t.WriteTotalTimeoutMultiplier;
        timeouts->writeConstant = t.WriteTotalTimeoutConstant;
        return true;
    }

    bool SetTimeouts(const SerialTimeouts& timeouts) override {
        COMMTIMEOUTS t{};
        t.ReadIntervalTimeout = timeouts.readInterval;
        t.ReadTotalTimeoutMultiplier = timeouts.readMultiplier;
        t.ReadTotalTimeoutConstant = timeouts.readConstant;
        t.WriteTotalTimeoutMultiplier = timeouts.writeMultiplier;
        t.WriteTotalTimeoutConstant = timeouts.writeConstant;
        return SetCommTimeouts(handle_, &t) != 0;
    }

    bool SetupQueues(std::uint32_t inputBytes, std::uint32_t outputBytes) override {
        return SetupComm(handle_, inputBytes, outputBytes) != 0;
    }

    bool Purge() override { return PurgeComm(handle_, PURGE_TXCLEAR | PURGE_RXCLEAR) != 0; }

    std::uint32_t Write(const std::uint8_t* bytes, std::uint32_t count) override {
        DWORD written = 0;
        if (!WriteFile(handle_, bytes, count, &written, nullptr)) {
            NoteFailure(GetLastError());
        }
        return written;
    }

    std::uint32_t Read(std::uint8_t* buffer, std::uint32_t count) override {
        DWORD read = 0;
        if (!ReadFile(handle_, buffer, count, &read, nullptr)) {
            NoteFailure(GetLastError());
        }
        return read;
    }

    bool HungUp() const override { return hungUp_; }

  private:
    // A time-out is no failure of the call, and a line error only aborts the call it hit; these
    // come from a port whose device has gone (a USB adapter pulled out) and stay.
    void NoteFailure(DWORD error) {
        switch (error) {
        case ERROR_DEVICE_REMOVED:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_BAD_COMMAND:
        case ERROR_GEN_FAILURE:
        case ERROR_ACCESS_DENIED:
        case ERROR_INVALID_HANDLE:
        case ERROR_FILE_NOT_FOUND:
            hungUp_ = true;
            break;
        default:
            break;
        }
    }

    HANDLE handle_;
    DCB dcb_{};
    bool hungUp_ = false;
};

// A COM port that another program has open refuses every further open with "access denied".
PortOpenError ErrorOfOpen(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return PortOpenError::Missing;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return PortOpenError::Busy;
    default:
        return PortOpenError::Failed;
    }
}

} // namespace

std::unique_ptr<SerialBackend> OpenPlatformSerial(const char* path, PortOpenError* error) {
    HANDLE handle = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    PortOpenError why = handle == INVALID_HANDLE_VALUE ? ErrorOfOpen(GetLastError()) : PortOpenError::None;
    if (error != nullptr) {
        *error = why;
    }
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return std::make_unique<Win32Serial>(handle);
}
