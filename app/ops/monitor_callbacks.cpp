#include "app_state.h"
#include "monitor.h"
#include "sound.h"
#include "status_window.h"

std::int32_t OnMonitorBegin(std::int32_t, std::int32_t) {
    SetProgressText("Monitoring...");
    SetDialogTitle("Tevrix: MONITORING");
    SetProgressColours(kColourBlue, kColourWhite);
    PrintStatus(1, "Monitoring has begun");
    return 1;
}

std::int32_t OnMonitorChanges(std::int32_t bytes, std::int32_t blocks) {
    PrintStatus(1, "Changes detected. Uploaded %i bytes in %i blocks.", bytes, blocks);
    PlayProgramSound(SOUND_CHANGES_UPLOADED);
    return 1;
}

std::int32_t OnMonitorEnd(std::int32_t, std::int32_t) {
    PrintStatus(1, "Monitoring ended");
    SetProgressText("Idle");
    SetDialogTitle("Tevrix");
    SetProgressColours(kColourWhite, kColourBlue);
    return 1;
}
