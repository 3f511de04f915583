#include "operation_input.h"

#include "app_state.h"

#include <string>

namespace {

// How each operation names its failures, as it always has.
struct InputRules {
    ImageOpen mode;
    const char* openFailure;
    const char* emptyFailure;
    bool mayRunPast;
};

const InputRules kWrite{ImageOpen::ReadExisting, "Could not open input", "Cannot write 0 bytes", false};
// Never created: a verify of a file that is not there has nothing to compare.
const InputRules kVerify{ImageOpen::ReadExisting, "Invalid file specified", "Cannot read 0 bytes", true};
// Shared for writing, as while monitoring, so that the check cannot fail where monitoring works.
const InputRules kMonitor{ImageOpen::Watch, "Could not open input", "Cannot monitor 0 bytes", false};

bool Refuse(const char* failure) {
    PrintStatus(1, "FAILURE: %s", failure);
    return false;
}

bool LoadInput(const OperationParams* params, const InputRules& rules, ImageSource* source,
               std::uint32_t* length) {
    if (params->filePath[0] == '\0') {
        return Refuse("No file specified");
    }
    if (!OpenImage(&source->file, params->filePath, rules.mode)) {
        // The file and the system's reason: missing, no permission, a folder that does not exist.
        PrintStatus(1, "FAILURE: %s: %s: %s", rules.openFailure, params->filePath,
                    OpenErrorText(&source->file).c_str());
        return false;
    }
    std::string failure;
    if (!LoadImageSource(source, params->filePath, &failure)) {
        return Refuse(failure.c_str());
    }
    // An empty file (or one that only seems so, as a device file) has nothing to take; from a
    // later address it is out of range as any other file.
    const std::uint64_t imageSize = SourceSize(source);
    if (imageSize == 0 && params->fileAddress == 0) {
        return Refuse(rules.emptyFailure);
    }
    *length = TakenLength(imageSize, params->fileAddress, params->size, rules.mayRunPast);
    if (*length == 0) {
        return Refuse("File address and size out of range");
    }
    if (!FitsRecordLayout(source, params->filePath, *length, &failure)) {
        return Refuse(failure.c_str());
    }
    return true;
}

} // namespace

std::uint32_t TakenLength(std::uint64_t imageSize, std::uint32_t fileAddress, std::uint32_t size,
                          bool mayRunPast) {
    if (fileAddress >= imageSize) {
        return 0;
    }
    const std::uint64_t rest = imageSize - fileAddress;
    if (size == 0) {
        return rest > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(rest);
    }
    return size <= rest || mayRunPast ? size : 0;
}

bool PrepareOperation(OperationParams* params, OperationInput* input) {
    std::uint32_t length = 0;
    switch (params->operation) {
    case OP_WRITE:
    case OP_VERIFY:
        if (!LoadInput(params, params->operation == OP_WRITE ? kWrite : kVerify, &input->source, &length)) {
            return false;
        }
        params->size = length;
        return true;
    case OP_MONITOR: {
        ImageSource checked;
        return LoadInput(params, kMonitor, &checked, &length);
    }
    default:
        return true;
    }
}
