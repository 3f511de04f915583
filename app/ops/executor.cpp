#include "executor.h"

#include "app_state.h"
#include "buffer.h"
#include "corvane.h"
#include "image_diff.h"
#include "image_file.h"
#include "image_output.h"
#include "image_source.h"
#include "monitor.h"
#include "sound.h"
#include "status_window.h"
#include "transfer_placement.h"
#include "transfer_progress.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

// Reports a read that cannot go on; 0.
int FailRead(const char* failure) {
    PrintStatus(1, "FAILURE: %s", failure);
    return 0;
}

// Says what a HEX or S-record file was read as, before its bytes are sent or compared.
void ReportRecords(const ImageSource* in, const char* path) {
    if (in->format != ImageFormat::Binary) {
        PrintStatus(1, "%s", DescribeRecords(in, path).c_str());
    }
}

// Without a size a read takes the emulator's RAM from where the placement starts to its end.
bool TakeReadSize(const KVCorvane* device, OperationParams* params) {
    if (params->size != 0) {
        return true;
    }
    std::uint32_t ramSize = 0;
    params->size = RamFromPlacement(device, params, &ramSize);
    if (params->size != 0) {
        return true;
    }
    // A family with no known RAM size gives no size to take.
    if (ramSize == 0) {
        PrintStatus(1, "FAILURE: Cannot read 0 bytes");
        return false;
    }
    PrintStatus(
        1, "FAILURE: Emulator address 0x%.2X lies at or past the end of the emulator's RAM of 0x%.2X bytes",
        params->emuAddress, ramSize);
    return false;
}

int ReadOperation(KVCorvane* device, OperationParams* params) {
    if (params->filePath[0] == '\0') {
        return FailRead("No file specified");
    }
    // A file that is not there is made only once the emulator's bytes have arrived, so that a
    // failed read leaves nothing behind.
    ImageFile out;
    const bool existing = OpenImage(&out, params->filePath, ImageOpen::WriteExisting);
    if (!existing && !CanCreateImage(params->filePath)) {
        PrintStatus(1, "FAILURE: Invalid file specified: %s: %s", params->filePath,
                    OpenErrorText(&out).c_str());
        return 0;
    }
    if (!TakeReadSize(device, params)) {
        return 0;
    }
    std::string failure;
    if (!FitsReadOutput(params->filePath, params->fileAddress, params->size, &failure)) {
        return FailRead(failure.c_str());
    }
    // Before the buffer, so a size the RAM cannot hold costs no allocation.
    Placement place;
    if (!PlaceTransfer(device, params, params->size, params->size, &place)) {
        return 0;
    }
    Buffer buffer = Allocate(params->size);
    if (!buffer) {
        return FailRead("Out of memory");
    }
    PrintStatus(1, "Reading 0x%.2X bytes from emulator at address 0x%.2X%s...", params->size, place.address,
                place.suffix);
    CvResult result = WithTransferProgress(params->size, [&](ProgressWindow progress) {
        return ReadBlock(device, buffer.get(), params->size, place.address, 0, progress);
    });
    if (result < 0) {
        PrintStatus(1, "FAILURE: Emu read failed with %s", ResultToString(result));
        return 0;
    }
    // The emulator's bytes are only saved once they are all in the file; a file made for them
    // that could not take them all is removed again.
    if ((!existing && !OpenImage(&out, params->filePath, ImageOpen::WriteKeep)) ||
        !SaveReadOutput(&out, params->filePath, params->fileAddress, buffer.get(), params->size)) {
        if (!existing && IsImageOpen(&out)) {
            CloseImage(&out);
            std::remove(params->filePath);
        }
        return FailRead("Could not write output file");
    }
    PrintStatus(1, "SUCCESS: Operation completed...");
    PlayProgramSound(SOUND_READ_DONE);
    return 1;
}

int WriteOperation(KVCorvane* device, OperationParams* params, OperationInput* input) {
    // Placed before the buffer, so a size the RAM cannot hold costs no allocation.
    Placement place;
    if (!PlaceTransfer(device, params, params->size, params->size, &place)) {
        return 0;
    }
    Buffer buffer = Allocate(params->size);
    if (!buffer) {
        PrintStatus(1, "FAILURE: Out of memory");
        return 0;
    }
    if (ReadSourceAt(&input->source, params->fileAddress, buffer.get(), params->size) != params->size) {
        PrintStatus(1, "FAILURE: Could not read source file");
        return 0;
    }
    ReportRecords(&input->source, params->filePath);
    PrintStatus(1, "Writing 0x%.2X bytes from file address 0x%.2X to emulator address 0x%.2X%s...",
                params->size, params->fileAddress, place.address, place.suffix);
    CvResult result = WithTransferProgress(params->size, [&](ProgressWindow progress) {
        return WriteBlockBothSpaces(device, buffer.get(), params->size, place.address, CV_XFER_LOWER_W,
                                    progress);
    });
    if (result < 0) {
        PrintStatus(1, "FAILURE: Emu write failed with %s", ResultToString(result));
        return 0;
    }
    PrintStatus(1, "SUCCESS: Operation completed...");
    PlayProgramSound(SOUND_WRITE_DONE);
    return 1;
}

// A mismatch is a failure: scripts act on the exit status.
int VerifyOperation(KVCorvane* device, OperationParams* params, OperationInput* input) {
    Placement place;
    if (!PlaceTransfer(device, params, params->size, params->size, &place)) {
        return 0;
    }
    Buffer emulator = Allocate(params->size);
    if (!emulator) {
        PrintStatus(1, "FAILURE: Out of memory");
        return 0;
    }
    // Once the size is known, so the message names what is compared.
    ReportRecords(&input->source, params->filePath);
    PrintStatus(1, "Verifying 0x%.2X bytes from emulator RAM...", params->size);
    CvResult result = WithTransferProgress(params->size, [&](ProgressWindow progress) {
        return ReadBlock(device, emulator.get(), params->size, place.address, 0, progress);
    });
    if (result < 0) {
        PrintStatus(1, "FAILURE: Verify failed. Emu read failed with %s", ResultToString(result));
        return 0;
    }
    Buffer file = Allocate(params->size);
    if (!file) {
        PrintStatus(1, "FAILURE: Out of memory");
        return 0;
    }
    std::uint32_t fileBytes = ReadSourceAt(&input->source, params->fileAddress, file.get(), params->size);
    std::uint32_t count = CountDifferences(emulator.get(), file.get(), params->size, fileBytes);
    if (count > 0) {
        // Where, so that the user need not read the RAM back and compare it by hand.
        for (const std::string& line : DescribeDifferences(emulator.get(), file.get(), params->size,
                                                           fileBytes, place.address, params->fileAddress)) {
            PrintStatus(1, "%s", line.c_str());
        }
        PrintStatus(1, "FAILURE: Buffers do NOT match! %u bytes different. Operation completed", count);
        PlayProgramSound(SOUND_VERIFY_MISMATCH);
        return 0;
    }
    PrintStatus(1, "SUCCESS: Contents match. Operation completed...");
    PlayProgramSound(SOUND_VERIFY_MATCH);
    return 1;
}

} // namespace

int RunOperation(KVCorvane* device, OperationParams* params, OperationInput* input,
                 const MonitorReports& reports) {
    switch (params->operation) {
    case OP_READ:
        return ReadOperation(device, params);
    case OP_WRITE:
        return WriteOperation(device, params, input);
    case OP_VERIFY:
        return VerifyOperation(device, params, input);
    case OP_MONITOR:
        return MonitorFile(device, params, reports);
    default:
        PrintStatus(1, "FAILURE: Invalid Operation Specified");
        return 0;
    }
}

int ExecuteOperation(KVCorvane* device, OperationParams* params, const MonitorReports& reports) {
    SetProgressText("Executing");
    OperationInput input;
    const int result = PrepareOperation(params, &input) ? RunOperation(device, params, &input, reports) : 0;
    SetProgressText("Idle");
    EnableExecute();
    return result;
}
