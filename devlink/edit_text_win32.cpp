#include "edit_text.h"

#include <windows.h>

std::size_t EditTextLength(EditHandle edit) {
    return static_cast<std::size_t>(SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0));
}

void EditSetCaret(EditHandle edit, std::size_t position) {
    SendMessageA(edit, EM_SETSEL, position, static_cast<LPARAM>(position));
}

std::intptr_t EditReplaceSelection(EditHandle edit, const char* text) {
    return SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
}
