#include "dialog_logic.h"

#include "corvane.h"

#include <algorithm>
#include <cstdio>

DialogButtons ButtonsFor(DialogState state) {
    switch (state) {
    case DialogState::Ready:
        return {true, false};
    case DialogState::Running:
        return {false, true};
    case DialogState::Detecting:
    case DialogState::NoUsableHardware:
        break;
    }
    return {false, false};
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

bool FillOperationParams(const DialogInputs& inputs, OperationParams* params) {
    params->operation = inputs.operation;
    if (!SetFilePath(params, inputs.filePath)) {
        return false;
    }
    params->emuAddress = ParseHex(inputs.emuAddress);
    params->fileAddress = ParseHex(inputs.fileAddress);
    params->size = ParseHex(inputs.size);
    params->large = inputs.largeChecked ? 1 : 0;
    params->noBackBuf = inputs.endJustifyChecked ? 0 : 1;
    params->keepRunning = 1;
    return true;
}
