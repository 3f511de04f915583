#include "scoped_ports.h"

#include <cstdlib>

namespace {

void SetPorts(const char* value) {
#ifdef _WIN32
    // An empty value removes the variable.
    ::_putenv_s("TEVRIX_PORTS", value != nullptr ? value : "");
#else
    if (value != nullptr) {
        ::setenv("TEVRIX_PORTS", value, 1);
    } else {
        ::unsetenv("TEVRIX_PORTS");
    }
#endif
}

} // namespace

ScopedPorts::ScopedPorts(const char* ports) {
    if (const char* old = std::getenv("TEVRIX_PORTS")) {
        saved_ = old;
        hadValue_ = true;
    }
    SetPorts(ports);
}

ScopedPorts::~ScopedPorts() {
    SetPorts(hadValue_ ? saved_.c_str() : nullptr);
}
