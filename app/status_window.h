#pragma once
#include <cstdint>

// The dialog's status display as the operations drive it: the text progress control's text and
// colours, the dialog's title and its two operation buttons. In console mode the handles are
// null and every call does nothing.

constexpr std::uint32_t kPbmSetBkColor = 0x2001;
constexpr std::uint32_t kTpmSetTextColor = 0x052C;
constexpr std::uint32_t kWmSetText = 0x000C;

constexpr std::uint32_t kColourWhite = 0x00FFFFFF;
constexpr std::uint32_t kColourBlue = 0x00FF0000;

constexpr int kExecuteButton = 1002;
constexpr int kCancelOpButton = 1001;

void SetProgressText(const char* text);
void SetProgressColours(std::uint32_t background, std::uint32_t text);
void SetDialogTitle(const char* title);

// After an operation: Cancel Op off, Execute on.
void EnableExecute();
