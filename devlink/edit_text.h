#pragma once
#include <cstdint>
#include <string>

// A multi-line edit control, the destination of the device log and of the dialog's messages.
// On Windows it is the control's window; elsewhere an in-memory text with the same three
// operations, so the append rules behave and are tested alike on both. The window handle is
// declared without the platform's headers.
#ifdef _WIN32
struct HWND__;
using EditHandle = HWND__*;
#else
struct EditBuffer {
    std::string text;
    std::size_t selStart = 0;
    std::size_t selEnd = 0;
};
using EditHandle = EditBuffer*;
#endif

std::size_t EditTextLength(EditHandle edit);
void EditSetCaret(EditHandle edit, std::size_t position);
// Replaces the selection with the text, without an undo record; returns the message result.
std::intptr_t EditReplaceSelection(EditHandle edit, const char* text);

// Moves the caret to the end, puts "\r\n" `breaks` times first when the control already holds
// text, then inserts the text.
std::intptr_t AppendEditText(EditHandle edit, const char* text, std::int32_t breaks);
