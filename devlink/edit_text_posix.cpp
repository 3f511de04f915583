#include "edit_text.h"

#include <algorithm>

std::size_t EditTextLength(EditHandle edit) {
    return edit->text.size();
}

void EditSetCaret(EditHandle edit, std::size_t position) {
    position = std::min(position, edit->text.size());
    edit->selStart = position;
    edit->selEnd = position;
}

std::intptr_t EditReplaceSelection(EditHandle edit, const char* text) {
    std::string inserted(text);
    edit->text.replace(edit->selStart, edit->selEnd - edit->selStart, inserted);
    edit->selStart += inserted.size();
    edit->selEnd = edit->selStart;
    return 1;
}
