#include "progress_recorder.h"

#ifndef _WIN32
#include <cstdio>

std::intptr_t ProgressRecorder::Receive(std::uint32_t message, std::uintptr_t, std::intptr_t lParam) {
    char text[32];
    switch (message) {
    case 0x000C:
        events.push_back(std::string("text:") + reinterpret_cast<const char*>(lParam));
        return 0;
    case 0x2001:
        std::snprintf(text, sizeof text, "bk:%06lX", static_cast<unsigned long>(lParam));
        break;
    case 0x0409:
        std::snprintf(text, sizeof text, "bar:%06lX", static_cast<unsigned long>(lParam));
        break;
    case 0x052C:
        std::snprintf(text, sizeof text, "fg:%06lX", static_cast<unsigned long>(lParam));
        break;
    default:
        std::snprintf(text, sizeof text, "msg:%X", message);
        break;
    }
    events.push_back(text);
    return 0;
}
#endif
