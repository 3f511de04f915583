// The serial driver on Linux and other POSIX systems: termios raw 8N1, and reads that honour the
// three read time-outs with poll(), so a partial count is a normal result as on Windows. A port
// is held exclusively while open and gets its own settings back when it closes, so probing a
// port that turns out not to be the emulator leaves it as it was.
#include "serial_posix.h"

#include "log.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#ifdef __linux__
#include <linux/serial.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

// How long a Bluetooth port may take to connect to the device before the search talks to it.
constexpr int kBluetoothConnectMs = 6000;

struct SpeedEntry {
    std::uint32_t baud;
    speed_t speed;
};

constexpr SpeedEntry kSpeeds[] = {
    {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400},
#ifdef B460800
    {460800, B460800},
#endif
#ifdef B921600
    {921600, B921600},
#endif
};

bool SpeedOf(std::uint32_t baud, speed_t* speed) {
    for (const auto& entry : kSpeeds) {
        if (entry.baud == baud) {
            *speed = entry.speed;
            return true;
        }
    }
    return false;
}

std::uint32_t BaudOf(speed_t speed) {
    for (const auto& entry : kSpeeds) {
        if (entry.speed == speed) {
            return entry.baud;
        }
    }
    return 0;
}

int MillisecondsUntil(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// An rfcomm node connects to its device only once opened, and bytes written before that wait.
bool IsBluetoothPort(const char* path) {
    auto named = [](const std::string& p) {
        std::string base = p.substr(p.find_last_of('/') + 1);
        return base.rfind("rfcomm", 0) == 0;
    };
    if (named(path)) {
        return true;
    }
    char resolved[4096];
    return ::realpath(path, resolved) != nullptr && named(resolved);
}

class PosixSerial final : public SerialBackend {
  public:
    PosixSerial(int fd, const char* path) : fd_(fd), path_(path) {
        haveOriginal_ = ::tcgetattr(fd_, &original_) == 0;
    }
    // The settings found at open come back, and exclusive use ends with this handle, even when
    // another party keeps the terminal open.
    ~PosixSerial() override {
#ifdef __linux__
        if (serialChanged_) {
            ::ioctl(fd_, TIOCSSERIAL, &originalSerial_);
        }
#endif
        if (haveOriginal_) {
            ::tcsetattr(fd_, TCSANOW, &original_);
        }
        ::ioctl(fd_, TIOCNXCL);
        ::close(fd_);
    }

    void Prepare(LogSink* log) override {
        RequestLowLatency(log);
        if (IsBluetoothPort(path_.c_str())) {
            WaitForBluetoothLink(log);
        }
    }

    bool GetLine(LineSettings* line) override {
        termios tio{};
        if (::tcgetattr(fd_, &tio) != 0) {
            return false;
        }
        line->baud = BaudOf(::cfgetospeed(&tio));
        line->dataBits = (tio.c_cflag & CSIZE) == CS8 ? 8 : 7;
        line->parity = (tio.c_cflag & PARENB) != 0;
        line->ctsOutFlow = (tio.c_cflag & CRTSCTS) != 0;
        line->dsrOutFlow = false;
        line->dsrSensitivity = false;
        int modem = 0;
        if (::ioctl(fd_, TIOCMGET, &modem) == 0) {
            line->dtrOn = (modem & TIOCM_DTR) != 0;
            line->rtsOn = (modem & TIOCM_RTS) != 0;
        }
        return true;
    }

    bool SetLine(const LineSettings& line) override {
        termios tio{};
        speed_t speed{};
        if (::tcgetattr(fd_, &tio) != 0 || !SpeedOf(line.baud, &speed)) {
            return false;
        }
        // Raw bytes both ways: no line editing, echo, signals or character translation.
        ::cfmakeraw(&tio);
        tio.c_cflag |= CLOCAL | CREAD;
        tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CRTSCTS);
        tio.c_cflag |= line.dataBits == 8 ? CS8 : CS7;
        if (line.parity) {
            tio.c_cflag |= PARENB;
        } else {
            tio.c_cflag &= ~static_cast<tcflag_t>(PARENB);
        }
        if (line.ctsOutFlow) {
            tio.c_cflag |= CRTSCTS;
        }
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;
        if (::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0 ||
            ::tcsetattr(fd_, TCSANOW, &tio) != 0) {
            return false;
        }
        // A pseudo-terminal has no modem lines; a real port takes DTR and RTS as asked.
        int bits = TIOCM_DTR;
        ::ioctl(fd_, line.dtrOn ? TIOCMBIS : TIOCMBIC, &bits);
        bits = TIOCM_RTS;
        ::ioctl(fd_, line.rtsOn ? TIOCMBIS : TIOCMBIC, &bits);
        return true;
    }

    bool GetTimeouts(SerialTimeouts* timeouts) override {
        *timeouts = timeouts_;
        return true;
    }

    bool SetTimeouts(const SerialTimeouts& timeouts) override {
        timeouts_ = timeouts;
        return true;
    }

    // The kernel's queues are fixed; the request is accepted as is.
    bool SetupQueues(std::uint32_t, std::uint32_t) override {
        return true;
    }

    bool Purge() override {
        return ::tcflush(fd_, TCIOFLUSH) == 0;
    }

    std::uint32_t Write(const std::uint8_t* bytes, std::uint32_t count) override {
        auto deadline =
            Clock::now() + std::chrono::milliseconds(timeouts_.writeConstant +
                                                     std::uint64_t{count} * timeouts_.writeMultiplier);
        std::uint32_t done = 0;
        while (done < count) {
            ssize_t n = ::write(fd_, bytes + done, count - done);
            if (n > 0) {
                done += static_cast<std::uint32_t>(n);
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR) {
                NoteFailure(errno);
                break;
            }
            int wait = MillisecondsUntil(deadline);
            if (wait == 0) {
                break;
            }
            pollfd pfd{fd_, POLLOUT, 0};
            int ready = ::poll(&pfd, 1, wait);
            if (ready < 0 && errno == EINTR) {
                continue;
            }
            if (ready > 0 && (pfd.revents & (POLLERR | POLLHUP | POLLNVAL))) {
                hungUp_ = true;
            }
            if (ready <= 0 || (pfd.revents & (POLLERR | POLLHUP | POLLNVAL))) {
                break;
            }
        }
        return done;
    }

    std::uint32_t Read(std::uint8_t* buffer, std::uint32_t count) override {
        auto total =
            Clock::now() + std::chrono::milliseconds(timeouts_.readConstant +
                                                     std::uint64_t{count} * timeouts_.readMultiplier);
        std::uint32_t done = 0;
        Clock::time_point lastByte{};
        bool hungUp = false;
        while (done < count) {
            ssize_t n = ::read(fd_, buffer + done, count - done);
            if (n > 0) {
                done += static_cast<std::uint32_t>(n);
                lastByte = Clock::now();
                continue;
            }
            // With no byte waiting a raw read returns 0 (or EAGAIN); poll tells a hang-up apart.
            // After one, the bytes that arrived before it have now all been read.
            if (n < 0 && errno != EAGAIN && errno != EINTR) {
                NoteFailure(errno);
                break;
            }
            if (hungUp) {
                break;
            }
            auto deadline = total;
            if (done > 0 && timeouts_.readInterval != 0) {
                auto interval = lastByte + std::chrono::milliseconds(timeouts_.readInterval);
                deadline = interval < deadline ? interval : deadline;
            }
            int wait = MillisecondsUntil(deadline);
            if (wait == 0) {
                break;
            }
            pollfd pfd{fd_, POLLIN, 0};
            int ready = ::poll(&pfd, 1, wait);
            if (ready < 0 && errno == EINTR) {
                continue;
            }
            if (ready <= 0 || (pfd.revents & POLLNVAL)) {
                break;
            }
            // A line that hung up (the other end went away) answers nothing more, but what it
            // sent before is still waiting to be read.
            if (pfd.revents & (POLLHUP | POLLERR)) {
                hungUp = true;
                hungUp_ = true;
            } else if ((pfd.revents & POLLIN) == 0) {
                break;
            }
        }
        return done;
    }

    bool HungUp() const override {
        return hungUp_;
    }

  private:
    // A terminal whose far end has gone (a pseudo-terminal's master closed, a USB adapter pulled
    // out) fails with these from then on.
    void NoteFailure(int error) {
        if (error == EIO || error == ENXIO || error == ENODEV) {
            hungUp_ = true;
        }
    }

    // Drivers of USB adapters hold received bytes for a latency timer (often 16 ms) unless told
    // otherwise; every reply would wait for it.
    void RequestLowLatency(LogSink* log) {
#ifdef __linux__
        serial_struct info{};
        if (::ioctl(fd_, TIOCGSERIAL, &info) != 0) {
            LogLine(log, "KVSerial: Low latency not available: %s", std::strerror(errno));
            return;
        }
        if (info.flags & ASYNC_LOW_LATENCY) {
            LogLine(log, "KVSerial: Low latency already set");
            return;
        }
        serial_struct wanted = info;
        wanted.flags |= ASYNC_LOW_LATENCY;
        if (::ioctl(fd_, TIOCSSERIAL, &wanted) != 0) {
            LogLine(log, "KVSerial: Low latency refused: %s", std::strerror(errno));
            return;
        }
        originalSerial_ = info;
        serialChanged_ = true;
        LogLine(log, "KVSerial: Low latency set");
#else
        (void)log;
#endif
    }

    // The far end shows through the modem lines it reports; before the link is up it reports none.
    void WaitForBluetoothLink(LogSink* log) {
        int waited = 0;
        auto probe = [this](bool* present) {
            int bits = 0;
            if (::ioctl(fd_, TIOCMGET, &bits) != 0) {
                return false;
            }
            *present = (bits & (TIOCM_CD | TIOCM_DSR | TIOCM_CTS)) != 0;
            return true;
        };
        switch (WaitForPeer(probe, kBluetoothConnectMs, &waited)) {
        case PeerState::Present:
            LogLine(log, "KVSerial: Bluetooth link up after %i ms", waited);
            break;
        case PeerState::Absent:
            LogLine(log, "KVSerial: Bluetooth link not up after %i ms", waited);
            break;
        case PeerState::Unknown:
            LogLine(log, "KVSerial: Bluetooth link state not reported");
            break;
        }
    }

    int fd_;
    std::string path_;
    SerialTimeouts timeouts_;
    termios original_{};
    bool haveOriginal_ = false;
    bool hungUp_ = false;
#ifdef __linux__
    serial_struct originalSerial_{};
    bool serialChanged_ = false;
#endif
};

PortOpenError ErrorOfOpen(int error) {
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
        return PortOpenError::Missing;
    case EACCES:
    case EPERM:
        return PortOpenError::Denied;
    case EBUSY:
        return PortOpenError::Busy;
    default:
        return PortOpenError::Failed;
    }
}

} // namespace

PeerState WaitForPeer(const std::function<bool(bool* present)>& probe, int limitMs, int* waitedMs) {
    auto start = Clock::now();
    auto deadline = start + std::chrono::milliseconds(limitMs);
    PeerState state = PeerState::Absent;
    for (;;) {
        bool present = false;
        if (!probe(&present)) {
            state = PeerState::Unknown;
            break;
        }
        if (present) {
            state = PeerState::Present;
            break;
        }
        if (Clock::now() >= deadline) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (waitedMs != nullptr) {
        *waitedMs = static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
    }
    return state;
}

std::unique_ptr<SerialBackend> AdoptTerminal(int fd, const char* path, PortOpenError* error) {
    PortOpenError ignored;
    PortOpenError& why = error != nullptr ? *error : ignored;
    // No sharing: once this is set, another program's open fails. Only a terminal that is still
    // connected takes it.
    if (::ioctl(fd, TIOCEXCL) != 0) {
        ::close(fd);
        why = PortOpenError::Failed;
        return nullptr;
    }
    why = PortOpenError::None;
    return std::make_unique<PosixSerial>(fd, path);
}

std::unique_ptr<SerialBackend> OpenPlatformSerial(const char* path, PortOpenError* error) {
    int fd = ::open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (error != nullptr) {
            *error = ErrorOfOpen(errno);
        }
        return nullptr;
    }
    return AdoptTerminal(fd, path, error);
}
