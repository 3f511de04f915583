// The POSIX serial backend on pseudo-terminals of the test's own: what a port leaves behind,
// exclusive use, a line that hangs up, a write interrupted by a signal, and the steps after open.
#include "captured_log.h"
#include "corvane.h"
#include "port_candidates.h"
#include "serial_posix.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <poll.h>
#include <pthread.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// A pseudo-terminal: the test keeps the master side; a port opens `path`. The terminal's settings
// live as long as the master, as a real port's live with its driver.
struct Pty {
    Pty() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0) {
            path = ::ptsname(master);
        }
    }
    ~Pty() { ::close(master); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    int master = -1;
    std::string path;
};

// Runs `work` in a child process that has no privileges (when the test runs as root, which
// neither exclusive use nor file modes stop) and returns what it wrote.
std::string AsOtherUser(const std::function<std::string()>& work) {
    int out[2];
    if (::pipe(out) != 0) {
        return "pipe failed";
    }
    pid_t child = ::fork();
    if (child == 0) {
        ::close(out[0]);
        if (::getuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(1);
        }
        std::string text = work();
        ssize_t written = ::write(out[1], text.data(), text.size());
        ::_exit(written == static_cast<ssize_t>(text.size()) ? 0 : 1);
    }
    ::close(out[1]);
    std::string text;
    char buffer[512];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? text : "child failed";
}

const char* NameOf(PortOpenError error) {
    switch (error) {
    case PortOpenError::None:
        return "opened";
    case PortOpenError::Missing:
        return "missing";
    case PortOpenError::Failed:
        return "failed";
    case PortOpenError::Denied:
        return "denied";
    case PortOpenError::Busy:
        return "busy";
    }
    return "?";
}

std::string TryOpen(const std::string& path) {
    PortOpenError error = PortOpenError::None;
    auto port = OpenPlatformSerial(path.c_str(), &error);
    return port != nullptr ? "opened" : NameOf(error);
}

extern "C" void IgnoreSignal(int) {}

} // namespace

TEST(PosixSerial, ClosingPutsBackTheSettingsItFound) {
    Pty pty;
    ASSERT_FALSE(pty.path.empty());
    termios before{};
    ASSERT_EQ(::tcgetattr(pty.master, &before), 0);
    before.c_lflag |= ICANON | ECHO;
    before.c_iflag |= ICRNL;
    ::cfsetispeed(&before, B9600);
    ::cfsetospeed(&before, B9600);
    ASSERT_EQ(::tcsetattr(pty.master, TCSANOW, &before), 0);
    ASSERT_EQ(::tcgetattr(pty.master, &before), 0);

    KVSerial port;
    ASSERT_EQ(port.Open(pty.path.c_str()), 1);
    ASSERT_EQ(port.SetBaud(19200), 1);
    termios during{};
    ASSERT_EQ(::tcgetattr(pty.master, &during), 0);
    EXPECT_EQ(::cfgetospeed(&during), static_cast<speed_t>(B19200));
    EXPECT_EQ(during.c_lflag & ICANON, 0u) << "the open port is not raw";
    port.Close();

    termios after{};
    ASSERT_EQ(::tcgetattr(pty.master, &after), 0);
    EXPECT_EQ(::cfgetospeed(&after), static_cast<speed_t>(B9600));
    EXPECT_EQ(after.c_iflag, before.c_iflag);
    EXPECT_EQ(after.c_oflag, before.c_oflag);
    EXPECT_EQ(after.c_cflag, before.c_cflag);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
}

TEST(PosixSerial, OpensOnlyWhatItMayHaveToItself) {
    Pty held;
    Pty locked;
    ASSERT_FALSE(held.path.empty());
    ASSERT_FALSE(locked.path.empty());
    // Anyone may open `held`: only the exclusive claim of the port below keeps others out.
    ASSERT_EQ(::chmod(held.path.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(locked.path.c_str(), 0600), 0);

    KVSerial port;
    ASSERT_EQ(port.Open(held.path.c_str()), 1);
    std::string seen = AsOtherUser([&] { return TryOpen(held.path); });
    EXPECT_EQ(seen, "busy") << "another program opened a port held exclusively";
    port.Close();
    EXPECT_EQ(AsOtherUser([&] { return TryOpen(held.path); }), "opened") << "closing kept the claim";

    if (::getuid() == 0) {
        EXPECT_EQ(AsOtherUser([&] { return TryOpen(locked.path); }), "denied");
    }
    EXPECT_EQ(TryOpen("/dev/tevrix-no-such-port"), "missing");
    // A file that is no terminal refuses the exclusive claim, and with it the open.
    char file[] = "/tmp/tevrix-not-a-tty-XXXXXX";
    int fd = ::mkstemp(file);
    ASSERT_GE(fd, 0);
    ::close(fd);
    EXPECT_EQ(TryOpen(file), "failed");
    ::unlink(file);
}

TEST(PosixSerial, AFailedSearchNamesThePortsTheUserCouldNotOpen) {
    if (::getuid() != 0) {
        GTEST_SKIP() << "needs a user the ports' modes keep out";
    }
    Pty locked;
    Pty held;
    ASSERT_FALSE(locked.path.empty());
    ::group* dialout = ::getgrnam("dialout");
    ASSERT_NE(dialout, nullptr);
    // As a serial port's device node usually is: read and write for its owner and group.
    ASSERT_EQ(::chown(locked.path.c_str(), 0, dialout->gr_gid), 0);
    ASSERT_EQ(::chmod(locked.path.c_str(), 0660), 0);
    ASSERT_EQ(::chmod(held.path.c_str(), 0666), 0);
    KVSerial holder;
    ASSERT_EQ(holder.Open(held.path.c_str()), 1);

    std::string ports = locked.path + ":" + held.path + ":/dev/tevrix-no-such-port";
    std::string report = AsOtherUser([&] {
        ::setenv("TEVRIX_PORTS", ports.c_str(), 1);
        KVCorvane device;
        std::string text = std::to_string(FindHardware(&device, nullptr, nullptr)) + "\n";
        for (const auto& port : device.unopenedPorts) {
            text += PortAccessAdvice(port.path, port.reason) + "\n";
        }
        return text;
    });
    EXPECT_EQ(report, "0\nCould not open " + locked.path +
                          ": permission denied. Add your user to the group dialout (sudo usermod -aG dialout "
                          "$USER), then log in again.\nCould not open " +
                          held.path + ": in use by another program.\n");
}

TEST(PosixSerial, ReadsWhatArrivedBeforeTheLineHungUp) {
    Pty pty;
    ASSERT_FALSE(pty.path.empty());
    int far = ::open(pty.path.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(far, 0);
    termios raw{};
    ::tcgetattr(far, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(far, TCSANOW, &raw);
    // The port reads the master side, which sees the far end hang up when it closes.
    PortOpenError error = PortOpenError::None;
    auto port = AdoptTerminal(::dup(pty.master), "pty", &error);
    ASSERT_NE(port, nullptr);
    ASSERT_TRUE(port->SetTimeouts({0, 0, 20000, 0, 300}));

    ASSERT_EQ(::write(far, "abc", 3), 3);
    std::thread farEnd([far] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(::write(far, "def", 3), 3);
        ::close(far);
    });
    std::uint8_t buffer[8] = {};
    auto start = Clock::now();
    std::uint32_t got = port->Read(buffer, sizeof buffer);
    farEnd.join();
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), got), "abcdef");
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(15))
        << "the read waited out its time-out after the hang-up";
}

TEST(PosixSerial, AWriteWaitingForRoomGoesOnAfterASignal) {
    Pty pty;
    ASSERT_FALSE(pty.path.empty());
    KVSerial port;
    ASSERT_EQ(port.Open(pty.path.c_str()), 1);
    ASSERT_TRUE(port.handle->SetTimeouts({200, 1, 300, 0, 30000}));
    struct sigaction ignore {};
    struct sigaction saved {};
    ignore.sa_handler = IgnoreSignal;
    sigemptyset(&ignore.sa_mask);
    ASSERT_EQ(::sigaction(SIGUSR1, &ignore, &saved), 0);

    // More than the terminal holds: the write waits for room until the far end reads.
    std::vector<std::uint8_t> data(512 * 1024);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<std::uint8_t>(i * 7);
    }
    std::atomic<bool> written{false};
    std::size_t received = 0;
    pthread_t writer = ::pthread_self();
    std::thread farEnd([&] {
        for (int i = 0; i < 5; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            ::pthread_kill(writer, SIGUSR1);
        }
        std::vector<std::uint8_t> chunk(65536);
        auto deadline = Clock::now() + std::chrono::seconds(60);
        while (received < data.size() && Clock::now() < deadline) {
            pollfd pfd{pty.master, POLLIN, 0};
            if (::poll(&pfd, 1, 100) > 0) {
                ssize_t n = ::read(pty.master, chunk.data(), chunk.size());
                received += n > 0 ? static_cast<std::size_t>(n) : 0;
            } else if (written) {
                break;
            }
        }
    });
    std::uint32_t count = port.Write(data.data(), static_cast<std::uint32_t>(data.size()));
    written = true;
    farEnd.join();
    ::sigaction(SIGUSR1, &saved, nullptr);
    EXPECT_EQ(count, data.size()) << "the write ended at the signal";
    EXPECT_EQ(received, data.size());
}

TEST(PosixSerial, AfterOpeningAsksForLowLatencyAndWaitsForABluetoothLink) {
    Pty pty;
    ASSERT_FALSE(pty.path.empty());
    CapturedLog log;
    KVSerial port;
    port.logSink = &log.sink;
    ASSERT_EQ(port.Open(pty.path.c_str()), 1);
    // A pseudo-terminal has no serial driver settings to ask.
    EXPECT_TRUE(log.Has("KVSerial: Low latency not available: Inappropriate ioctl for device")) << log.Text();
    EXPECT_EQ(log.Text().find("Bluetooth"), std::string::npos);

    // A node named as a Bluetooth port; this one has no modem lines to show its link.
    char dir[] = "/tmp/tevrix-rfcomm-XXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    std::string link = std::string(dir) + "/rfcomm7";
    ASSERT_EQ(::symlink(pty.path.c_str(), link.c_str()), 0);
    ASSERT_EQ(port.Open(link.c_str()), 1);
    EXPECT_TRUE(log.Has("KVSerial: Bluetooth link state not reported")) << log.Text();
    port.Close();
    ::unlink(link.c_str());
    ::rmdir(dir);
}

TEST(WaitForPeer, EndsWhenTheFarEndShowsOrTheLimitPasses) {
    struct Case {
        const char* name;
        int presentFromCall;
        bool lines;
        PeerState state;
        int maxCalls;
    } cases[] = {
        {"link comes up", 3, true, PeerState::Present, 3},
        {"link never comes up", 0, true, PeerState::Absent, 1000},
        {"no modem lines", 0, false, PeerState::Unknown, 1},
    };
    for (const auto& c : cases) {
        int calls = 0;
        auto probe = [&](bool* present) {
            ++calls;
            *present = c.presentFromCall != 0 && calls >= c.presentFromCall;
            return c.lines;
        };
        int waited = -1;
        EXPECT_EQ(WaitForPeer(probe, 200, &waited), c.state) << c.name;
        EXPECT_LE(calls, c.maxCalls) << c.name;
        if (c.state == PeerState::Absent) {
            EXPECT_GE(waited, 200) << c.name << ": gave up before the limit";
        }
    }
}
