#include "transfer_progress.h"

#include "app_state.h"
#include "console.h"
#include "progress_line.h"
#include "progress_line_window.h"

CvResult WithTransferProgress(std::uint32_t bytes, const std::function<CvResult(ProgressWindow)>& transfer) {
    if (!g_app.consoleMode || !ErrorIsTerminal()) {
        return transfer(g_app.progressWindow);
    }
    ProgressLine line(bytes, {ErrorWrite, ProgressLine::Clock::now, OutputIsTerminal()});
    ProgressLineWindow window(&line);
    CvResult result = transfer(window.Handle());
    line.Finish();
    return result;
}
