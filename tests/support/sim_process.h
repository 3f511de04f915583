#pragma once
#include <string>
#include <sys/types.h>
#include <vector>

// tevrix-sim running as a child process for the length of a test: started with the given
// options, its pseudo-terminal path read from its first output line, stopped with SIGTERM.
class SimProcess {
  public:
    SimProcess(const std::string& program, const std::vector<std::string>& options);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The terminal's path; empty when the simulator did not start.
    const std::string& Path() const { return path_; }
    // Ends the simulator (it writes its --dump file first); true when it exited with status 0.
    bool Stop();
    // Sends a signal to the running simulator (SIGUSR1: write the --dump file now).
    void Signal(int signal);

  private:
    pid_t pid_ = -1;
    std::string path_;
};
