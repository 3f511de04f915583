#pragma once
#include "progress_window.h"

#include <cstdint>
#include <string>
#include <vector>

#ifndef _WIN32
// Stands where the dialog's text progress control would be and keeps what it was told: texts
// as "text:<text>", colours as "bk:<hex>", "bar:<hex>" and "fg:<hex>", anything else as
// "msg:<hex>".
class ProgressRecorder : public ProgressReceiver {
  public:
    std::intptr_t Receive(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
    std::vector<std::string> events;
};
#endif
