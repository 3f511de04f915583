#include "corvane.h"

KVCorvane g_device;

// The serial link is not wired in yet: no emulator is ever found.
std::uint32_t FindHardware(KVCorvane*, char* name, std::uint8_t*) {
    name[0] = '\0';
    return 0;
}

CvResult SetVendorID(KVCorvane*, std::uint8_t) {
    return CV_E_PORT_NOT_INITIALIZED;
}
