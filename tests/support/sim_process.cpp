#include "sim_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// Waits at most `milliseconds` for the child; true with its status when it ended.
bool WaitFor(pid_t pid, int milliseconds, int* status) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < deadline) {
        pid_t done = ::waitpid(pid, status, WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR)) {
            return done == pid;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

} // namespace

SimProcess::SimProcess(const std::string& program, const std::vector<std::string>& options) {
    int out[2];
    if (::pipe(out) != 0) {
        return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const auto& option : options) {
            argv.push_back(const_cast<char*>(option.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    // The first line is the terminal's path; bounded, so a broken simulator fails the test.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::string line;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd pfd{out[0], POLLIN, 0};
        if (::poll(&pfd, 1, 100) <= 0) {
            continue;
        }
        char c;
        if (::read(out[0], &c, 1) != 1) {
            break;
        }
        if (c == '\n') {
            path_ = line;
            break;
        }
        line += c;
    }
    ::close(out[0]);
}

SimProcess::~SimProcess() {
    Stop();
}

bool SimProcess::Stop() {
    if (pid_ <= 0) {
        return false;
    }
    int status = 0;
    ::kill(pid_, SIGTERM);
    bool ended = WaitFor(pid_, 5000, &status);
    if (!ended) {
        ::kill(pid_, SIGKILL);
        WaitFor(pid_, 5000, &status);
    }
    pid_ = -1;
    return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void SimProcess::Signal(int signal) {
    if (pid_ > 0) {
        ::kill(pid_, signal);
    }
}
