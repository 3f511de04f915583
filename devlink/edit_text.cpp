#include "edit_text.h"

std::intptr_t AppendEditText(EditHandle edit, const char* text, std::int32_t breaks) {
    std::size_t length = EditTextLength(edit);
    EditSetCaret(edit, length);
    if (length > 0) {
        for (std::int32_t i = 0; i < breaks; ++i) {
            AppendEditText(edit, "\r\n", 0);
        }
    }
    return EditReplaceSelection(edit, text);
}
