#include "dialog_logic.h"

#include "corvane.h"

#include <algorithm>
#include <cstdio>

DialogButtons ButtonsFor(DialogState state) {
    switch (state) {
    case DialogState::Ready:
        return {true, false, true};
    case DialogState::Running:
        return {false, true, false};
    case DialogState::Detecting:
    case DialogState::NoUsableHardware:
        break;
    }
    return {false, false, true};
}

const char* CloseQuestion(DialogState state, int operation) {
    if (state != DialogState::Running) {
        return nullptr;
    }
    return operation == OP_MONITOR ? "Monitoring is running. Stop it and exit?"
                                   : "A transfer is running. Stop it and exit?";
}

DetectionOutcome DecideDetection(std::uint32_t capabilities) {
    if (capabilities == 0) {
        return {DialogState::NoUsableHardware, "No hardware detected", true};
    }
    if ((capabilities & CAPS_EMULATION) == 0) {
        return {DialogState::NoUsableHardware, "Attached hardware is not capable of emulation", true};
    }
    return {DialogState::Ready, nullptr, (capabilities & CAPS_BANKS) != 0};
}

bool SuggestsLargeBin(std::uint32_t fileSize, bool largeEnabled) {
    return largeEnabled && fileSize > 0x10000;
}

void FormatSizeText(std::uint32_t size, char* text, std::size_t textSize) {
    std::snprintf(text, textSize, "0x%.4X", size);
}

Extent LogExtentForClient(int clientWidth, int clientHeight, int logTop) {
    return {std::max(0, clientWidth - 15), std::max(0, clientHeight - logTop - 15)};
}

bool FillOperationParams(const DialogInputs& inputs, OperationParams* params, InputRefusal* refusal) {
    params->operation = inputs.operation;
    if (!SetFilePath(params, inputs.filePath)) {
        *refusal = {InputField::FilePath, kPathTooLongMessage};
        return false;
    }
    // In the order of the layout, so the first wrong field is the one named.
    const struct {
        InputField field;
        const char* label;
        const char* text;
        std::uint32_t* value;
        bool used;
    } numbers[] = {
        {InputField::FileAddress, "File Start Address", inputs.fileAddress, &params->fileAddress, true},
        {InputField::EmuAddress, "RAM Start Address", inputs.emuAddress, &params->emuAddress,
         !inputs.endJustifyChecked},
        {InputField::Size, "Size", inputs.size, &params->size, true},
    };
    params->emuAddress = 0;
    for (const auto& number : numbers) {
        if (number.used && !ParseHex(number.text, number.value)) {
            *refusal = {number.field, NotHexMessage(number.label, number.text)};
            return false;
        }
    }
    params->large = inputs.largeChecked ? 1 : 0;
    params->noBackBuf = inputs.endJustifyChecked ? 0 : 1;
    params->keepRunning = 1;
    return true;
}

const char* TransferVerb(int operation) {
    switch (operation) {
    case OP_READ:
        return "Reading";
    case OP_WRITE:
        return "Writing";
    case OP_VERIFY:
        return "Verifying";
    default:
        return "";
    }
}

std::string TransferStatusText(const char* verb, std::uint32_t position, std::uint32_t range,
                               std::uint32_t bytes) {
    std::uint64_t done = bytes;
    std::uint64_t percent = 100;
    if (range > 0 && position < range) {
        done = std::uint64_t{bytes} * position / range;
        percent = std::uint64_t{position} * 100 / range;
    }
    char text[96];
    std::snprintf(text, sizeof text, "%s %u%%, %llu of %u bytes", verb, static_cast<unsigned>(percent),
                  static_cast<unsigned long long>(done), bytes);
    return text;
}

OperationOutcome OutcomeFor(int result) {
    // Dark enough to read on the white background.
    constexpr std::uint32_t kGreen = 0x00008000;
    constexpr std::uint32_t kRed = 0x000000C0;
    return result ? OperationOutcome{"Done", kGreen} : OperationOutcome{"Failed", kRed};
}
