#pragma once
#include "progress_window.h"
#include "result.h"

#include <cstdint>
#include <functional>

// Runs one transfer of `bytes` bytes, handing it the progress window it reports to: in console
// mode with standard error on a terminal, a progress line drawn there and finished when the
// transfer returns; otherwise the application's progress window (the dialog's control, none in
// console mode).
CvResult WithTransferProgress(std::uint32_t bytes, const std::function<CvResult(ProgressWindow)>& transfer);
