#include "inset_button_logic.h"

InsetBorders MeasureBorders(const InsetRect& proposed, const InsetRect& client) {
    return {client.left - proposed.left, proposed.right - client.right, client.top - proposed.top,
            proposed.bottom - client.bottom};
}

InsetRect NarrowClient(const InsetRect& client, int buttonWidth) {
    InsetRect narrowed = client;
    narrowed.right = client.right - buttonWidth;
    if (narrowed.right < narrowed.left) {
        narrowed.right = narrowed.left;
    }
    return narrowed;
}

InsetRect InsetButtonRect(int windowWidth, int windowHeight, const InsetBorders& borders, int buttonWidth) {
    InsetRect rect{0, borders.top, windowWidth - borders.right, windowHeight - borders.bottom};
    rect.left = rect.right - buttonWidth;
    if (borders.right > borders.left) {
        const int shift = borders.right - borders.left;
        rect.left += shift;
        rect.right += shift;
    }
    return rect;
}

bool InsetContains(const InsetRect& rect, int x, int y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

bool InsetClick::Press(bool onButton) {
    if (onButton) {
        pressed_ = true;
        tracking_ = true;
    }
    return onButton;
}

bool InsetClick::Move(bool onButton) {
    if (!tracking_ || pressed_ == onButton) {
        return false;
    }
    pressed_ = onButton;
    return true;
}

bool InsetClick::Release(bool onButton) {
    const bool completed = tracking_ && onButton;
    pressed_ = false;
    tracking_ = false;
    return completed;
}

bool InsetClick::Cancel() {
    const bool wasTracking = tracking_;
    pressed_ = false;
    tracking_ = false;
    return wasTracking;
}
