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
#include <string>

namespace {

// Reports a file that is refused before anything is sent.
int Refuse(const std::string& failure) {
    PrintStatus(1, "FAILURE: %s", failure.c_str());
    return 0;
}

int ReadOperation(OperationParams* params) {
    if (params->filePath[0] == '\0') {
        PrintStatus(1, "FAILURE: No file specified");
        return 0;
    }
    ImageFile out;
    if (!OpenImage(&out, params->filePath, ImageOpen::WriteKeep)) {
        PrintStatus(1, "FAILURE: Invalid file specified");
        return 0;
    }
    if (params->size == 0) {
        PrintStatus(1, "FAILURE: Cannot read 0 bytes");
        return 0;
    }
    std::string failure;
    if (!FitsReadOutput(params->filePath, params->fileAddress, params->size, &failure)) {
        return Refuse(failure);
    }
    // Before the buffer, so a size the RAM cannot hold costs no allocation.
    Placement place;
    if (!PlaceTransfer(params, params->size, params->size, &place)) {
        return 0;
    }
    Buffer buffer = Allocate(params->size);
    if (!buffer) {
        PrintStatus(1, "FAILURE: Out of memory");
        return 0;
    }
    PrintStatus(1, "Reading 0x%.2X bytes from emulator at address 0x%.2X%s...", params->size, place.address,
                place.suffix);
    CvResult result = WithTransferProgress(params->size, [&](ProgressWindow progress) {
        return ReadBlock(&g_device, buffer.get(), params->size, place.address, 0, progress);
    });
    if (result < 0) {
        PrintStatus(1, "FAILURE: Emu read failed with %s", ResultToString(result));
        return 0;
    }
    // The emulator's bytes are only saved once they are all in the file.
    if (!SaveReadOutput(&out, params->filePath, params->fileAddress, buffer.get(), params->size)) {
        PrintStatus(1, "FAILURE: Could not write output file");
        return 0;
    }
    PrintStatus(1, "SUCCESS: Operation completed...");
    PlayProgramSound(SOUND_READ_DONE);
    return 1;
}

int WriteOperation(OperationParams* params) {
    if (params->filePath[0] == '\0') {
        PrintStatus(1, "FAILURE: No file specified");
        return 0;
    }
    ImageSource in;
    if (!OpenImage(&in.file, params->filePath, ImageOpen::ReadExisting)) {
        PrintStatus(1, "FAILURE: Could not open input");
        return 0;
    }
    std::string failure;
    if (!LoadImageSource(&in, params->filePath, &failure)) {
        return Refuse(failure);
    }
    std::uint64_t fileSize = SourceSize(&in);
    if (params->size == 0) {
        params->size = fileSize > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(fileSize);
    }
    // In 64 bits, so a huge file address cannot wrap round to a small sum.
    if (std::uint64_t{params->fileAddress} + params->size > fileSize) {
        PrintStatus(1, "FAILURE: File address and size out of range");
        return 0;
    }
    // An empty file (or one that only seems so, as a device file) would report success for
    // nothing written.
    if (params->size == 0) {
        PrintStatus(1, "FAILURE: Cannot write 0 bytes");
        return 0;
    }
    if (!FitsRecordLayout(&in, params->filePath, params->size, &failure)) {
        return Refuse(failure);
    }
    Buffer buffer = Allocate(params->size);
    if (!buffer) {
        PrintStatus(1, "FAILURE: Out of memory");
        return 0;
    }
    if (ReadSourceAt(&in, params->fileAddress, buffer.get(), params->size) != params->size) {
        PrintStatus(1, "FAILURE: Could not read source file");
        return 0;
    }
    Placement place;
    if (!PlaceTransfer(params, params->size, params->size, &place)) {
        return 0;
    }
    PrintStatus(1, "Writing 0x%.2X bytes from file address 0x%.2X to emulator address 0x%.2X%s...",
                params->size, params->fileAddress, place.address, place.suffix);
    CvResult result = WithTransferProgress(params->size, [&](ProgressWindow progress) {
        return WriteBlockBothSpaces(&g_device, buffer.get(), params->size, place.address, CV_XFER_LOWER_W,
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
int VerifyOperation(OperationParams* params) {
    if (params->filePath[0] == '\0') {
        PrintStatus(1, "FAILURE: No file specified");
        return 0;
    }
    ImageSource in;
    if (!OpenImage(&in.file, params->filePath, ImageOpen::ReadOrCreate)) {
        PrintStatus(1, "FAILURE: Invalid file specified");
        return 0;
    }
    std::string failure;
    if (!LoadImageSource(&in, params->filePath, &failure)) {
        return Refuse(failure);
    }
    if (params->size == 0) {
        std::uint64_t fileSize = SourceSize(&in);
        params->size = fileSize > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(fileSize);
        if (params->size == 0) {
            PrintStatus(1, "FAILURE: Cannot read 0 bytes");
            return 0;
        }
    }
    if (!FitsRecordLayout(&in, params->filePath, params->size, &failure)) {
        return Refuse(failure);
    }
    Placement place;
    if (!PlaceTransfer(params, params->size, params->size, &place)) {
        return 0;
    }
    Buffer emulator = Allocate(params->size);
    if (!emulator) {
        PrintStatus(1, "FAILURE: Out of memory");
        return 0;
    }
    // Once the size is known, so the message names what is compared.
    PrintStatus(1, "Verifying 0x%.2X bytes from emulator RAM...", params->size);
    CvResult result = WithTransferProgress(params->size, [&](ProgressWindow progress) {
        return ReadBlock(&g_device, emulator.get(), params->size, place.address, 0, progress);
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
    std::uint32_t fileBytes = ReadSourceAt(&in, params->fileAddress, file.get(), params->size);
    std::uint32_t count = CountDifferences(emulator.get(), file.get(), params->size, fileBytes);
    if (count > 0) {
        PrintStatus(1, "FAILURE: Buffers do NOT match! %u bytes different. Operation completed", count);
        PlayProgramSound(SOUND_VERIFY_MISMATCH);
        return 0;
    }
    PrintStatus(1, "SUCCESS: Contents match. Operation completed...");
    PlayProgramSound(SOUND_VERIFY_MATCH);
    return 1;
}

} // namespace

int ExecuteOperation(OperationParams* params) {
    SetProgressText("Executing");
    int result = 0;
    switch (params->operation) {
    case OP_READ:
        result = ReadOperation(params);
        break;
    case OP_WRITE:
        result = WriteOperation(params);
        break;
    case OP_VERIFY:
        result = VerifyOperation(params);
        break;
    case OP_MONITOR:
        result = MonitorFile(params);
        break;
    default:
        PrintStatus(1, "FAILURE: Invalid Operation Specified");
        break;
    }
    SetProgressText("Idle");
    EnableExecute();
    return result;
}
