#pragma once
#include <cstdint>

// The dialog's status display as the operations drive it: the text progress control's text and
// colours, the dialog's title and its two operation buttons. In console mode the handles are
// null and every call does nothing.

// The messages of the dialog's text progress control that the operations send, numbered here
// once for the portable code (a Windows build checks them against the platform's).
constexpr std::uint32_t kPbmSetBkColor = 0x2001;
constexpr std::uint32_t kPbmSetBarColor = 0x0409;
constexpr std::uint32_t kTpmSetTextColor = 0x052C;
// The text colour that makes the control draw its text in the bar's colour over the background
// and in the background's colour over the bar.
constexpr std::uint32_t kTwoColourText = 0xFFFFFFFF;
constexpr std::uint32_t kWmSetText = 0x000C;

constexpr std::uint32_t kColourWhite = 0x00FFFFFF;
constexpr std::uint32_t kColourBlue = 0x00FF0000;

void SetProgressText(const char* text);
// The background and the bar take the two colours, and the text shows in the other one wherever
// it lies, so it stays readable as the bar passes under it: blue text on white with a blue bar
// while idle, white text on blue with a white bar while monitoring.
void SetProgressColours(std::uint32_t background, std::uint32_t bar);
void SetDialogTitle(const char* title);

// After an operation: Cancel Op off, Execute on.
void EnableExecute();
