#include "monitor_stop.h"

#include "corvane.h"
#include "program_device.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

// Written by the signal handler, so only what is safe there: lock-free atomics and write().
int g_wake[2] = {-1, -1};
std::atomic<OperationParams*> g_stopParams{nullptr};
volatile std::sig_atomic_t g_requested = 0;
struct sigaction g_previousInt;
struct sigaction g_previousTerm;

void OnStop(int) {
    const int saved = errno;
    g_requested = 1;
    if (OperationParams* params = g_stopParams.load()) {
        std::atomic_ref<std::int32_t>(params->keepRunning).store(0);
    }
    if (g_device.idle.load() == 0) {
        g_device.cancel.store(1);
    }
    const char byte = 1;
    // The pipe only has to turn readable; a full one already is.
    [[maybe_unused]] ssize_t written = write(g_wake[1], &byte, 1);
    errno = saved;
}

} // namespace

ConsoleStop::ConsoleStop(OperationParams* params) {
    g_requested = 0;
    if (pipe2(g_wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        g_wake[0] = g_wake[1] = -1;
    }
    g_stopParams.store(params);
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    action.sa_handler = OnStop;
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &g_previousInt);
    sigaction(SIGTERM, &action, &g_previousTerm);
}

ConsoleStop::~ConsoleStop() {
    sigaction(SIGINT, &g_previousInt, nullptr);
    sigaction(SIGTERM, &g_previousTerm, nullptr);
    g_stopParams.store(nullptr);
    for (int& fd : g_wake) {
        if (fd >= 0) {
            close(fd);
            fd = -1;
        }
    }
}

bool ConsoleStop::Requested() const {
    return g_requested != 0;
}

void ConsoleStop::Done() {}

int StopDescriptor() {
    return g_wake[0];
}

bool SleepUnlessStopped(std::chrono::milliseconds time) {
    const int fd = StopDescriptor();
    if (fd < 0) {
        std::this_thread::sleep_for(time);
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + time;
    for (;;) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left <= std::chrono::milliseconds::zero()) {
            return false;
        }
        pollfd ready{fd, POLLIN, 0};
        int polled = poll(&ready, 1, static_cast<int>(left.count()));
        if (polled > 0) {
            return true;
        }
        if (polled < 0 && errno != EINTR) {
            std::this_thread::sleep_for(left);
            return false;
        }
    }
}
