#include "monitor.h"

#include "app_state.h"
#include "corvane.h"
#include "file_watch.h"
#include "image_diff.h"
#include "image_file.h"
#include "image_source.h"
#include "status_window.h"
#include "transfer_placement.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <new>
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

std::unique_ptr<std::uint8_t[]> Allocate(std::uint32_t size) {
    return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[size]());
}

// Returns false when the file's image is refused before anything is sent.
bool Watch(OperationParams* params, ImageSource* source) {
    std::uint32_t length = WatchedLength(SourceSize(source), params->fileAddress);
    if (length == 0) {
        return true;
    }
    std::string failure;
    if (!FitsRecordLayout(source, params->filePath, length, &failure)) {
        PrintStatus(1, "FAILURE: %s", failure.c_str());
        return false;
    }
    auto current = Allocate(length);
    auto previous = Allocate(length);
    if (!current || !previous) {
        return true;
    }
    // Set up before the baseline is read, so that no save after it goes unnoticed. (The records of
    // a HEX or S-record file were read before it; the next look compares their text again.)
    FileWatch watch(params->filePath);
    ReadSourceAt(source, params->fileAddress, current.get(), length);

    Placement place = PlaceTransfer(params, params->size != 0 ? params->size : length);
    std::string reported;
    while (KeepRunning(params)) {
        watch.Wait(kPollInterval, kQuietTime);
        std::memcpy(previous.get(), current.get(), length);
        ReopenImageIfReplaced(&source->file);
        // A HEX or S-record save with a bad record (or one still being written) is not sent; the
        // records before it stay, and the reason is shown once.
        switch (ReloadImageSource(source, params->filePath, &failure)) {
        case SourceReload::Refused:
            if (failure != reported) {
                PrintStatus(1, "Not uploaded: %s", failure.c_str());
                reported = failure;
            }
            break;
        case SourceReload::Changed:
            reported.clear();
            break;
        case SourceReload::Unchanged:
            break;
        }
        // Bytes the read does not deliver (a shorter file, a writer's lock) keep their values.
        ReadSourceAt(source, params->fileAddress, current.get(), length);

        std::uint32_t blocks = 0;
        std::uint32_t bytes = 0;
        ForEachChangedRun(current.get(), previous.get(), length, [&](std::uint32_t start, std::uint32_t run) {
            // A failed upload does not end monitoring; the run still counts as sent.
            WriteBlockBothSpaces(&g_device, current.get() + start, run, place.address + start,
                                 CV_XFER_LOWER_W, g_app.progressWindow);
            ++blocks;
            bytes += run;
        });
        SetProgressText("Monitoring");
        if (blocks > 0) {
            Report(g_app.monitorChanges, static_cast<std::int32_t>(bytes), static_cast<std::int32_t>(blocks));
        }
    }
    return true;
}

} // namespace

std::uint32_t WatchedLength(std::uint64_t fileSize, std::uint32_t fileAddress) {
    if (fileSize <= fileAddress) {
        return 0;
    }
    std::uint64_t length = fileSize - fileAddress;
    return length > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(length);
}

int MonitorFile(OperationParams* params) {
    Report(g_app.monitorBegin, 0, 0);
    bool watched = true;
    {
        ImageSource source;
        if (OpenImage(&source.file, params->filePath, ImageOpen::Watch)) {
            std::string failure;
            if (LoadImageSource(&source, params->filePath, &failure)) {
                watched = Watch(params, &source);
            } else {
                PrintStatus(1, "FAILURE: %s", failure.c_str());
                watched = false;
            }
        }
    }
    Report(g_app.monitorEnd, 0, 0);
    return watched ? 1 : 0;
}
