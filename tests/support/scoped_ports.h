#pragma once
// TEVRIX_PORTS, the ports a search tries, for the length of a scope, and a state folder of the
// scope's own (XDG_STATE_HOME, or LOCALAPPDATA on Windows), so that what a search remembers
// between runs comes from searches of this scope alone. What they were before comes back
// afterwards, so that no later test in the same process searches ports it did not name.
#include "temp_dir.h"

#include <string>

class ScopedPorts {
  public:
    // `ports` null: the variable is unset meanwhile.
    explicit ScopedPorts(const char* ports);
    explicit ScopedPorts(const std::string& ports) : ScopedPorts(ports.c_str()) {}
    ~ScopedPorts();
    ScopedPorts(const ScopedPorts&) = delete;
    ScopedPorts& operator=(const ScopedPorts&) = delete;

    // The state folder a search remembers its port in meanwhile.
    std::string StateHome() const { return state_.Path("state"); }

  private:
    struct Saved {
        std::string value;
        bool present = false;
    };
    Saved ports_;
    Saved stateHome_;
    TempDir state_;
};
