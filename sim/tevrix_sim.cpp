// tevrix-sim: the simulated emulator device on a pseudo-terminal.
#include "device_model.h"
#include "line_noise.h"
#include "sim_options.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

volatile std::sig_atomic_t g_stop = 0;
volatile std::sig_atomic_t g_dumpRequested = 0;

void OnStop(int) {
    g_stop = 1;
}

void OnDump(int) {
    g_dumpRequested = 1;
}

void InstallSignals() {
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    action.sa_handler = OnStop;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    action.sa_handler = OnDump;
    sigaction(SIGUSR1, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

std::uint32_t RateOf(speed_t speed) {
    static const struct {
        speed_t speed;
        std::uint32_t rate;
    } rates[] = {
        {B9600, 9600},     {B19200, 19200},   {B38400, 38400},   {B57600, 57600},
        {B115200, 115200}, {B230400, 230400}, {B460800, 460800}, {B921600, 921600},
    };
    for (const auto& r : rates) {
        if (r.speed == speed) {
            return r.rate;
        }
    }
    return 0;
}

// Sleeps until `until`, waking early when asked to stop.
void SleepUntil(Clock::time_point until) {
    while (!g_stop && Clock::now() < until) {
        auto left = until - Clock::now();
        std::this_thread::sleep_for(std::min<Clock::duration>(left, std::chrono::milliseconds(20)));
    }
}

Clock::duration WireTime(std::size_t bytes, std::uint32_t rate) {
    return std::chrono::microseconds(bytes * 10'000'000ull / rate);
}

class PtyServer {
  public:
    PtyServer(SimOptions options) : options_(std::move(options)), model_(options_.device) {}

    int Run() {
        if (!LoadRam() || !OpenPty()) {
            return 1;
        }
        std::printf("%s\n", slaveName_.c_str());
        std::fflush(stdout);
        if (options_.device.chatty) {
            Chatter();
        } else {
            Serve();
        }
        DumpRam();
        if (!options_.link.empty()) {
            ::unlink(options_.link.c_str());
        }
        return 0;
    }

  private:
    bool LoadRam() {
        for (const auto& load : options_.loads) {
            std::FILE* file = std::fopen(load.path.c_str(), "rb");
            if (file == nullptr) {
                std::fprintf(stderr, "tevrix-sim: cannot read %s\n", load.path.c_str());
                return false;
            }
            std::size_t at = load.address;
            for (int c; (c = std::fgetc(file)) != EOF && at < model_.ram.size(); ++at) {
                model_.ram[at] = static_cast<std::uint8_t>(c);
            }
            std::fclose(file);
        }
        return true;
    }

    void DumpRam() {
        if (options_.dump.empty()) {
            return;
        }
        std::string temp = options_.dump + ".part";
        std::FILE* file = std::fopen(temp.c_str(), "wb");
        if (file == nullptr) {
            std::fprintf(stderr, "tevrix-sim: cannot write %s\n", options_.dump.c_str());
            return;
        }
        std::fwrite(model_.ram.data(), 1, model_.ram.size(), file);
        std::fclose(file);
        std::rename(temp.c_str(), options_.dump.c_str());
    }

    bool OpenPty() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
            std::perror("tevrix-sim: pseudo-terminal");
            return false;
        }
        slaveName_ = ::ptsname(master_);
        // Held open so the terminal survives while the host closes and reopens its side.
        slave_ = ::open(slaveName_.c_str(), O_RDWR | O_NOCTTY);
        termios tio{};
        if (slave_ < 0 || ::tcgetattr(slave_, &tio) != 0) {
            std::perror("tevrix-sim: pseudo-terminal");
            return false;
        }
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B115200);
        ::cfsetospeed(&tio, B115200);
        ::tcsetattr(slave_, TCSANOW, &tio);
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        if (!options_.link.empty()) {
            ::unlink(options_.link.c_str());
            if (::symlink(slaveName_.c_str(), options_.link.c_str()) != 0) {
                std::perror("tevrix-sim: --link");
                return false;
            }
        }
        return true;
    }

    std::uint32_t HostRate() {
        termios tio{};
        return ::tcgetattr(slave_, &tio) == 0 ? RateOf(::cfgetospeed(&tio)) : 0;
    }

    void Serve() {
        std::vector<std::uint8_t> buffer(65536);
        Clock::time_point lastInput = Clock::now();
        Clock::time_point receiveFreeAt = Clock::now();
        while (!g_stop) {
            if (g_dumpRequested) {
                g_dumpRequested = 0;
                DumpRam();
            }
            if (master_ < 0) {
                SleepUntil(Clock::now() + std::chrono::milliseconds(100));
                continue;
            }
            pollfd pfd{master_, POLLIN, 0};
            int ready = ::poll(&pfd, 1, 100);
            if (ready <= 0) {
                // A request cut short is forgotten once the line has been quiet for a while.
                if (Clock::now() - lastInput > std::chrono::milliseconds(300)) {
                    model_.DiscardPartial();
                }
                continue;
            }
            ssize_t n = ::read(master_, buffer.data(), buffer.size());
            if (n <= 0) {
                continue;
            }
            lastInput = Clock::now();
            std::uint32_t rate = model_.Rate();
            if (options_.pace) {
                receiveFreeAt =
                    std::max(receiveFreeAt, lastInput) + WireTime(static_cast<std::size_t>(n), rate);
                SleepUntil(receiveFreeAt);
            }
            // At a rate the device is not running at, it misreads the request, and what comes
            // back is noise at the host's rate.
            if (HostRate() != rate) {
                Send(Noise(static_cast<std::size_t>(n) * kNoisePerByte), rate);
                continue;
            }
            for (const Reply& reply : model_.Receive(buffer.data(), static_cast<std::size_t>(n))) {
                SleepUntil(Clock::now() + std::chrono::milliseconds(reply.delayMs));
                Send(reply.bytes, rate, reply.pauseAt, reply.pauseMs);
                if (reply.hangUp) {
                    HangUp();
                    break;
                }
            }
        }
    }

    std::vector<std::uint8_t> Noise(std::size_t count) {
        std::vector<std::uint8_t> bytes(count);
        for (auto& byte : bytes) {
            byte = noise_.Next();
        }
        return bytes;
    }

    // Writes the answer, paced at the line rate when asked, in slices of about 2 ms; with a pause,
    // the bytes from `pauseAt` on follow `pauseMs` later.
    void Send(const std::vector<std::uint8_t>& bytes, std::uint32_t rate, std::size_t pauseAt = 0,
              std::uint32_t pauseMs = 0) {
        std::size_t slice = options_.pace ? std::max<std::size_t>(16, rate / 10 / 500) : bytes.size();
        if (pauseMs != 0 && pauseAt == 0) {
            SleepUntil(Clock::now() + std::chrono::milliseconds(pauseMs));
        }
        Clock::time_point start = Clock::now();
        std::size_t sent = 0;
        while (sent < bytes.size() && !g_stop) {
            std::size_t n = std::min(slice, bytes.size() - sent);
            if (pauseMs != 0 && sent < pauseAt) {
                n = std::min(n, pauseAt - sent);
            }
            if (!WriteAll(bytes.data() + sent, n)) {
                return;
            }
            sent += n;
            if (pauseMs != 0 && sent == pauseAt) {
                SleepUntil(Clock::now() + std::chrono::milliseconds(pauseMs));
                start = Clock::now() - WireTime(sent, rate);
            }
            if (options_.pace) {
                SleepUntil(start + WireTime(sent, rate));
            }
        }
    }

    // Not an emulator: text at the line rate whatever the host sends, noise when the host's rate
    // differs. What the host does not read is lost once the terminal's queue is full.
    void Chatter() {
        std::vector<std::uint8_t> input(4096);
        ChattyText text;
        std::uint64_t next = 0;
        std::uint32_t rate = options_.device.rate;
        Clock::time_point start = Clock::now();
        while (!g_stop) {
            if (g_dumpRequested) {
                g_dumpRequested = 0;
                DumpRam();
            }
            SleepUntil(Clock::now() + std::chrono::milliseconds(5));
            while (::read(master_, input.data(), input.size()) > 0) {
            }
            auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
            std::uint64_t due = static_cast<std::uint64_t>(elapsed.count()) * rate / 10'000'000ull;
            std::vector<std::uint8_t> bytes;
            bool plain = HostRate() == rate;
            for (; next < due; ++next) {
                bytes.push_back(plain ? text.At(next) : noise_.Next());
            }
            // Never blocks: a full queue drops the rest, as a port nobody reads does.
            if (!bytes.empty()) {
                ssize_t ignored = ::write(master_, bytes.data(), bytes.size());
                (void)ignored;
            }
        }
    }

    bool WriteAll(const std::uint8_t* bytes, std::size_t count) {
        auto deadline = Clock::now() + std::chrono::seconds(2);
        while (count > 0) {
            ssize_t n = ::write(master_, bytes, count);
            if (n > 0) {
                bytes += n;
                count -= static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR) {
                return false;
            }
            // Nobody reads the other side: what does not fit is lost, as on a real line.
            pollfd pfd{master_, POLLOUT, 0};
            if (Clock::now() > deadline || g_stop || ::poll(&pfd, 1, 50) < 0) {
                return false;
            }
        }
        return true;
    }

    void HangUp() {
        ::close(master_);
        ::close(slave_);
        master_ = slave_ = -1;
    }

    SimOptions options_;
    DeviceModel model_;
    LineNoise noise_;
    int master_ = -1;
    int slave_ = -1;
    std::string slaveName_;
};

} // namespace

int main(int argc, char** argv) {
    SimOptions options;
    std::string error;
    if (!ParseSimOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "tevrix-sim: %s\n\n%s", error.c_str(), SimUsage().c_str());
        return 2;
    }
    if (options.help) {
        std::printf("%s", SimUsage().c_str());
        return 0;
    }
    InstallSignals();
    return PtyServer(std::move(options)).Run();
}
