#pragma once
// The main dialog's rules that need no window: which buttons each state allows, what a search
// result leads to, when a chosen file suggests large-bin support, how the log follows the
// dialog's size, and how the controls' contents become the operation parameters.
#include "cmdline.h"

#include <cstddef>
#include <cstdint>
#include <string>

enum class DialogState { Detecting, NoUsableHardware, Ready, Running };

// What each state allows: the two operation buttons, and the parameter controls (operation, file,
// browse button, addresses, size and check boxes), which stay as they were from Execute until
// the operation ends, so that they show what is being done.
struct DialogButtons {
    bool execute;
    bool cancelOp;
    bool parameters;
};

DialogButtons ButtonsFor(DialogState state);

// The question asked before the dialog closes while an operation runs; null when nothing runs.
const char* CloseQuestion(DialogState state, int operation);

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

// The controls whose text can be refused.
enum class InputField { FilePath, FileAddress, EmuAddress, Size };

struct InputRefusal {
    InputField field;
    std::string message;
};

// Fills every field of the operation record from the controls and sets keepRunning; false, with
// the refusal's line and the field to put the focus in, when the path is longer than the record
// holds or a number is not one (the operation must not run then). The RAM start address counts
// only with end-justify off, when its field is enabled.
bool FillOperationParams(const DialogInputs& inputs, OperationParams* params, InputRefusal* refusal);

// The status text of a running transfer: "Writing 37%, 24576 of 65536 bytes", from the progress
// bar's position within its range and the bytes the operation moves. The verb is that of the
// operation ("Reading", "Writing", "Verifying"); empty for monitoring, whose texts are its own.
const char* TransferVerb(int operation);
std::string TransferStatusText(const char* verb, std::uint32_t position, std::uint32_t range,
                               std::uint32_t bytes);

// How an ended operation shows until the next one starts: "Done" in green or "Failed" in red.
struct OperationOutcome {
    const char* text;
    std::uint32_t colour;
};

OperationOutcome OutcomeFor(int result);
