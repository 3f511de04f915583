// Stand-ins until the device library's transfers are merged: every transfer fails.
#include "device_calls.h"

CvResult ReadBlock(KVCorvane*, std::uint8_t*, std::uint32_t, std::uint32_t, std::uint32_t, ProgressWindow) {
    return CV_E_PORT_NOT_INITIALIZED;
}

CvResult WriteBlockBothSpaces(KVCorvane*, std::uint8_t*, std::uint32_t, std::uint32_t, std::uint32_t,
                              ProgressWindow) {
    return CV_E_PORT_NOT_INITIALIZED;
}
