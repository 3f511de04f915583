#pragma once
#include <windows.h>

// Puts a push button with the caption into the right end of the field's non-client area, width
// pixels wide; a completed click on it posts WM_COMMAND with the command (notification code 0,
// lParam 0) to the field's parent. The field keeps the rest of its behaviour. The button's record
// lives in the field's GWLP_USERDATA slot and goes with the field. Returns 1, or 0 when the record
// cannot be allocated or the slot is already in use (a field takes one button), leaving the field
// as it was.
int AttachInsetButton(HWND field, UINT command, const char* caption, int width);
