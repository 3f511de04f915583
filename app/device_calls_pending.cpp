// Stand-ins until the device library's transfers are merged: every transfer fails.
#include "device_calls.h"

CvResult ReadBlock(KVCorvane*, std::uint8_t*, std::uint32_t, std::uint32_t, std::uint32_t, ProgressWindow) {
    return CV_E_PORT_NOT_INITIALIZED;
}

CvResult WriteBlockBothSpaces(KVCorvane*, std::uint8_t*, std::uint32_t, std::uint32_t, std::uint32_t,
                              ProgressWindow) {
    return CV_E_PORT_NOT_INITIALIZED;
}

CvResult SetBank(KVCorvane*, std::uint8_t, std::int32_t, std::int32_t, std::uint32_t) {
    return CV_E_PORT_NOT_INITIALIZED;
}

std::int32_t GetBackfillOffset(KVCorvane*, std::uint32_t, std::uint32_t* offset) {
    *offset = 0;
    return 0;
}
