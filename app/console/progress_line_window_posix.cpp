#include "progress_line_window.h"

ProgressLineWindow::ProgressLineWindow(ProgressLine* line) {
    forward_.line = line;
}

ProgressLineWindow::~ProgressLineWindow() = default;

ProgressWindow ProgressLineWindow::Handle() const {
    return &forward_;
}

std::intptr_t ProgressLineWindow::Forward::Receive(std::uint32_t message, std::uintptr_t wParam,
                                                   std::intptr_t lParam) {
    line->Receive(message, wParam, lParam);
    return 0;
}
