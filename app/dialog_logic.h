#pragma once
// The main dialog's rules that need no window: which buttons each state allows, what a search
// result leads to, when a chosen file suggests large-bin support, how the log follows the
// dialog's size, and how the controls' contents become the operation parameters.
#include "cmdline.h"

#include <cstddef>
#include <cstdint>

enum class DialogState { Detecting, NoUsableHardware, Ready, Running };

struct DialogButtons {
    bool execute;
    bool cancelOp;
};

DialogButtons ButtonsFor(DialogState state);

// What the dialog makes of the hardware search. `message` is the one log line of a failed search
// (null when an emulator was found, which is announced with its name); `largeEnabled` says
// whether "Large RAM Support" stays available.
struct DetectionOutcome {
    DialogState state;
    const char* message;
    bool largeEnabled;
};

DetectionOutcome DecideDetection(std::uint32_t capabilities);

inline constexpr const char* kLargeBinMessage =
    "File is larger than 64 KB. Defaulting to large-bin support. If this is not desired, uncheck the box.";

// A chosen file above 64 KB turns large-bin support on, when the device offers it.
bool SuggestsLargeBin(std::uint32_t fileSize, bool largeEnabled);

// The size box's text for a file size: "0x%.4X".
void FormatSizeText(std::uint32_t size, char* text, std::size_t textSize);

struct Extent {
    int width;
    int height;
};

// The log keeps its top-left corner and ends 15 pixels before the client area's right and bottom
// edges; it never gets a negative size (a minimised dialog reports an empty client area).
Extent LogExtentForClient(int clientWidth, int clientHeight, int logTop);

// The contents of the dialog's parameter controls, as read when Execute is pressed.
struct DialogInputs {
    int operation;
    const char* filePath;
    const char* emuAddress;
    const char* fileAddress;
    const char* size;
    bool largeChecked;
    bool endJustifyChecked;
};

// Fills every field of the operation record from the controls and sets keepRunning; false when
// the path is longer than the record holds (the operation must not run then).
bool FillOperationParams(const DialogInputs& inputs, OperationParams* params);
