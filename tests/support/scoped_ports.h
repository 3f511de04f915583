#pragma once
// TEVRIX_PORTS, the ports a search tries, for the length of a scope; what it was before comes
// back afterwards, so that no later test in the same process searches ports it did not name.
#include <string>

class ScopedPorts {
  public:
    // `ports` null: the variable is unset meanwhile.
    explicit ScopedPorts(const char* ports);
    explicit ScopedPorts(const std::string& ports) : ScopedPorts(ports.c_str()) {}
    ~ScopedPorts();
    ScopedPorts(const ScopedPorts&) = delete;
    ScopedPorts& operator=(const ScopedPorts&) = delete;

  private:
    std::string saved_;
    bool hadValue_ = false;
};
