#include "monitor.h"

#include "app_state.h"
#include "buffer.h"
#include "corvane.h"
#include "file_watch.h"
#include "image_diff.h"
#include "image_file.h"
#include "image_source.h"
#include "monitor_reconnect.h"
#include "operation_input.h"
#include "status_window.h"
#include "transfer_placement.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(1000);
// An editor may write a save in several pieces; a file this long quiet after a change is taken as
// saved.
constexpr auto kQuietTime = std::chrono::milliseconds(50);

void Report(MonitorCallback callback, std::int32_t first, std::int32_t second) {
    if (callback != nullptr) {
        callback(first, second);
    }
}

// The dialog's thread clears the flag while this one polls.
bool KeepRunning(OperationParams* params) {
    return std::atomic_ref<std::int32_t>(params->keepRunning).load() != 0;
}

// What one monitoring run works with once it has started.
struct Watched {
    // The link to the emulator.
    KVCorvane* device;
    // Whom the uploads are told.
    const MonitorReports* reports;
    std::uint32_t length;
    // The file as last read.
    Buffer file;
    // What the emulator holds: the baseline, then every byte that reached it.
    Buffer emulator;
    Placement place;
    // Why the last save of a HEX or S-record file was not sent; shown once.
    std::string refused;
    // The emulator written to; after a loss only the same one is written again.
    EmulatorIdentity identity;
    // Set when the emulator stopped answering: the monitor waits for it to come back.
    bool lost = false;
    // The emulator came back and may have lost its RAM: the whole image is written at the next
    // look.
    bool wholeImage = false;
};

// Opens the file, takes the baseline and works out where it lies in RAM; one FAILURE line and
// false when there is nothing that can be watched.
bool StartWatching(OperationParams* params, ImageSource* source, Watched* watched) {
    if (!OpenImage(&source->file, params->filePath, ImageOpen::Watch)) {
        PrintStatus(1, "FAILURE: Could not open input: %s: %s", params->filePath,
                    OpenErrorText(&source->file).c_str());
        return false;
    }
    std::string failure;
    if (!LoadImageSource(source, params->filePath, &failure)) {
        PrintStatus(1, "FAILURE: %s", failure.c_str());
        return false;
    }
    const std::uint64_t fileSize = SourceSize(source);
    if (fileSize == 0) {
        PrintStatus(1, "FAILURE: Cannot monitor 0 bytes");
        return false;
    }
    watched->length = TakenLength(fileSize, params->fileAddress, params->size, false);
    if (watched->length == 0) {
        PrintStatus(1, "FAILURE: File address and size out of range");
        return false;
    }
    if (!FitsRecordLayout(source, params->filePath, watched->length, &failure)) {
        PrintStatus(1, "FAILURE: %s", failure.c_str());
        return false;
    }
    watched->file = Allocate(watched->length);
    watched->emulator = Allocate(watched->length);
    if (!watched->file || !watched->emulator) {
        PrintStatus(1, "FAILURE: Out of memory");
        return false;
    }
    ReadSourceAt(source, params->fileAddress, watched->file.get(), watched->length);
    // Open only while it is read, so that no save of the editor's can fail because of it.
    CloseImage(&source->file);
    std::memcpy(watched->emulator.get(), watched->file.get(), watched->length);
    return PlaceTransfer(watched->device, params, watched->length, watched->length, &watched->place);
}

// After a failed upload the emulator is asked whether it is still there: if it is, the failure
// is shown and the bytes are tried again at the next look; if not, the monitor waits for it.
// A failure because the user ends monitoring is neither.
void UploadFailed(OperationParams* params, Watched* watched, CvResult failure) {
    if (!KeepRunning(params)) {
        return;
    }
    if (EmulatorLost(watched->device)) {
        PrintStatus(1, "Emulator lost (%s): waiting for it to come back...", ResultToString(failure));
        watched->lost = true;
    } else {
        PrintStatus(1, "FAILURE: Emu write failed with %s", ResultToString(failure));
    }
}

// The emulator came back: all of the file as it is now goes to it, saves made while it was away
// included.
void UploadWholeImage(OperationParams* params, Watched* watched) {
    CvResult result = WriteBlockBothSpaces(watched->device, watched->file.get(), watched->length,
                                           watched->place.address, CV_XFER_LOWER_W, g_app.progressWindow);
    SetProgressText("Monitoring");
    if (result < 0) {
        UploadFailed(params, watched, result);
        return;
    }
    std::memcpy(watched->emulator.get(), watched->file.get(), watched->length);
    watched->wholeImage = false;
    PrintStatus(1, "Uploaded the whole image again: %u bytes.", static_cast<unsigned>(watched->length));
}

// One look at the file: every run where it differs from what the emulator holds is written. After
// a failed upload nothing more is written (an unplugged device would fail every run, each after
// its time-outs); the runs not written stay different and are tried at the next look.
void Poll(ImageSource* source, OperationParams* params, Watched* watched) {
    // Between an editor's delete and its new file there is none: nothing has changed yet.
    if (!OpenImage(&source->file, params->filePath, ImageOpen::Watch)) {
        SetProgressText("Monitoring");
        return;
    }
    // A HEX or S-record save with a bad record (or one still being written) is not sent; the
    // records before it stay.
    std::string refusal;
    switch (ReloadImageSource(source, params->filePath, &refusal)) {
    case SourceReload::Refused:
        if (refusal != watched->refused) {
            PrintStatus(1, "Not uploaded: %s", refusal.c_str());
            watched->refused = refusal;
        }
        break;
    case SourceReload::Changed:
        watched->refused.clear();
        break;
    case SourceReload::Unchanged:
        break;
    }
    // Bytes the read does not deliver (a shorter file, a writer's lock) keep their values.
    ReadSourceAt(source, params->fileAddress, watched->file.get(), watched->length);
    CloseImage(&source->file);
    if (watched->wholeImage) {
        UploadWholeImage(params, watched);
        return;
    }

    std::uint32_t blocks = 0;
    std::uint32_t bytes = 0;
    CvResult failure = CV_S_OK;
    const std::uint8_t* now = watched->file.get();
    std::uint8_t* held = watched->emulator.get();
    ForEachChangedRun(now, held, watched->length, [&](std::uint32_t start, std::uint32_t run) {
        if (failure < 0) {
            return;
        }
        CvResult result =
            WriteBlockBothSpaces(watched->device, now + start, run, watched->place.address + start,
                                 CV_XFER_LOWER_W, g_app.progressWindow);
        if (result < 0) {
            failure = result;
            return;
        }
        std::memcpy(held + start, now + start, run);
        ++blocks;
        bytes += run;
    });
    SetProgressText("Monitoring");
    if (blocks > 0) {
        Report(watched->reports->changes, static_cast<std::int32_t>(bytes),
               static_cast<std::int32_t>(blocks));
    }
    if (failure < 0) {
        UploadFailed(params, watched, failure);
    }
}

// The last part of a path, as the user sees the file named in a folder.
const char* FileNameOf(const char* path) {
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p == '/' || *p == '\\') {
            name = p + 1;
        }
    }
    return name;
}

} // namespace

int MonitorFile(KVCorvane* device, OperationParams* params, const MonitorReports& reports) {
    // Set up before the baseline is read, so that no save after it goes unnoticed.
    FileWatch watch(params->filePath);
    ImageSource source;
    Watched watched{};
    watched.device = device;
    watched.reports = &reports;
    if (!StartWatching(params, &source, &watched)) {
        return 0;
    }
    watched.identity = IdentifyEmulator(device);
    Report(reports.begin, 0, 0);
    PrintStatus(1, "Watching %s: 0x%X bytes from file address 0x%X to emulator address 0x%X",
                FileNameOf(params->filePath), watched.length, params->fileAddress, watched.place.address);
    while (KeepRunning(params)) {
        if (watched.lost) {
            if (!AwaitEmulator(device, params, watched.identity)) {
                break;
            }
            watched.lost = false;
            watched.wholeImage = true;
        } else {
            watch.Wait(kPollInterval, kQuietTime);
        }
        Poll(&source, params, &watched);
    }
    Report(reports.end, 0, 0);
    return 1;
}
