#include "serial_backend.h"

#include "installable_hook.h"

#include <utility>

namespace {

InstallableHook<SerialOpener>& OpenerHook() {
    static InstallableHook<SerialOpener> hook;
    return hook;
}

} // namespace

void SetSerialOpener(SerialOpener opener) {
    OpenerHook().Install(std::move(opener));
}

std::unique_ptr<SerialBackend> OpenSerialBackend(const char* path, PortOpenError* error) {
    SerialOpener opener = OpenerHook().Installed();
    PortOpenError why = PortOpenError::None;
    std::unique_ptr<SerialBackend> backend;
    if (opener) {
        backend = opener(path);
        if (backend == nullptr) {
            why = PortOpenError::Missing;
        }
    } else {
        backend = OpenPlatformSerial(path, &why);
    }
    if (error != nullptr) {
        *error = why;
    }
    return backend;
}
