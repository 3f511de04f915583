#include "progress_window.h"

void StartProgress(ProgressWindow window, std::uint32_t units) {
    SendProgress(window, kProgressSetRange, 0, static_cast<std::intptr_t>((units & 0xFFFF) << 16));
    SendProgress(window, kProgressSetStep, 1, 0);
    SendProgress(window, kProgressSetPos, 0, 0);
}
