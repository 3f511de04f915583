// The serial driver on Linux and other POSIX systems: termios raw 8N1, and reads that honour the
// three read time-outs with poll(), so a partial count is a normal result as on Windows.
#include "serial_backend.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

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

class PosixSerial final : public SerialBackend {
  public:
    explicit PosixSerial(int fd) : fd_(fd) {}
    // Exclusive use ends with this handle, even when another party keeps the terminal open.
    ~PosixSerial() override {
        ::ioctl(fd_, TIOCNXCL);
        ::close(fd_);
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
    bool SetupQueues(std::uint32_t, std::uint32_t) override { return true; }

    bool Purge() override { return ::tcflush(fd_, TCIOFLUSH) == 0; }

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
                break;
            }
            int wait = MillisecondsUntil(deadline);
            if (wait == 0) {
                break;
            }
            pollfd pfd{fd_, POLLOUT, 0};
            if (::poll(&pfd, 1, wait) <= 0 || (pfd.revents & (POLLERR | POLLHUP | POLLNVAL))) {
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
        while (done < count) {
            ssize_t n = ::read(fd_, buffer + done, count - done);
            if (n > 0) {
                done += static_cast<std::uint32_t>(n);
                lastByte = Clock::now();
                continue;
            }
            // With no byte waiting a raw read returns 0 (or EAGAIN); poll tells a hang-up apart.
            if (n < 0 && errno != EAGAIN && errno != EINTR) {
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
            // A line that hung up (the other end went away) answers nothing more.
            if (ready <= 0 || (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) || (pfd.revents & POLLIN) == 0) {
                break;
            }
        }
        return done;
    }

  private:
    int fd_;
    SerialTimeouts timeouts_;
};

} // namespace

std::unique_ptr<SerialBackend> OpenPlatformSerial(const char* path) {
    int fd = ::open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    if (!::isatty(fd)) {
        ::close(fd);
        return nullptr;
    }
    // No sharing: a second program cannot open the port while this one holds it.
    ::ioctl(fd, TIOCEXCL);
    return std::make_unique<PosixSerial>(fd);
}
