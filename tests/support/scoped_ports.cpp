#include "scoped_ports.h"

#include <cstdlib>
#include <filesystem>

namespace {

#ifdef _WIN32
constexpr const char* kStateVariable = "LOCALAPPDATA";
#else
constexpr const char* kStateVariable = "XDG_STATE_HOME";
#endif

void SetVariable(const char* name, const char* value) {
#ifdef _WIN32
    // An empty value removes the variable.
    ::_putenv_s(name, value != nullptr ? value : "");
#else
    if (value != nullptr) {
        ::setenv(name, value, 1);
    } else {
        ::unsetenv(name);
    }
#endif
}

template <typename Saved> Saved Save(const char* name) {
    Saved saved;
    if (const char* old = std::getenv(name)) {
        saved.value = old;
        saved.present = true;
    }
    return saved;
}

} // namespace

ScopedPorts::ScopedPorts(const char* ports)
    : ports_(Save<Saved>("TEVRIX_PORTS")), stateHome_(Save<Saved>(kStateVariable)) {
    SetVariable("TEVRIX_PORTS", ports);
    std::filesystem::create_directories(StateHome());
    SetVariable(kStateVariable, StateHome().c_str());
}

ScopedPorts::~ScopedPorts() {
    SetVariable("TEVRIX_PORTS", ports_.present ? ports_.value.c_str() : nullptr);
    SetVariable(kStateVariable, stateHome_.present ? stateHome_.value.c_str() : nullptr);
}
