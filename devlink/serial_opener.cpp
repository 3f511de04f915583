#include "serial_backend.h"

#include <mutex>
#include <utility>

namespace {

std::mutex& OpenerMutex() {
    static std::mutex mutex;
    return mutex;
}

SerialOpener& InstalledOpener() {
    static SerialOpener opener;
    return opener;
}

} // namespace

void SetSerialOpener(SerialOpener opener) {
    std::lock_guard<std::mutex> lock(OpenerMutex());
    InstalledOpener() = std::move(opener);
}

std::unique_ptr<SerialBackend> OpenSerialBackend(const char* path, PortOpenError* error) {
    SerialOpener opener;
    {
        std::lock_guard<std::mutex> lock(OpenerMutex());
        opener = InstalledOpener();
    }
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
