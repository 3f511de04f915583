// KVTEXTPROGRESS: a progress bar with a line of text centred over it. It answers the message
// numbers of the system progress bar, so the transfers drive it like one, from their own thread
// through SendMessageA; every change that shows repaints before the message returns.
#include "text_progress.h"
#include "control_common.h"
#include "kv_controls.h"
#include "text_progress_state.h"

#include <commctrl.h>
#include <cstring>
#include <new>

namespace {

struct TextProgress {
    HWND window;
    TextProgressState state;
    HFONT font;
};

RECT ToRect(const ProgressRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

bool IsEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    if (IsEmpty(rect)) {
        return;
    }
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

// Draws the text clipped to one rectangle; an empty rectangle shows none of it.
void DrawTextClipped(HDC dc, const char* text, RECT client, const RECT& clip, COLORREF colour) {
    if (IsEmpty(clip)) {
        return;
    }
    HRGN region = CreateRectRgnIndirect(&clip);
    SelectClipRgn(dc, region);
    SetTextColor(dc, colour);
    DrawTextA(dc, text, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectClipRgn(dc, nullptr);
    DeleteObject(region);
}

void Paint(TextProgress& control) {
    BufferedPaint paint(control.window);
    HDC dc = paint.dc();
    RECT client = paint.client();
    const TextProgressState& state = control.state;
    const ProgressLayout layout = LayOutProgress(state, client.right, client.bottom);
    const RECT bar = ToRect(layout.bar);
    const RECT remainder = ToRect(layout.remainder);

    if (state.backgroundColour == kProgressAutoColour) {
        if (!IsEmpty(remainder)) {
            FillRect(dc, &remainder, GetSysColorBrush(COLOR_BTNFACE));
        }
    } else {
        FillSolid(dc, remainder, state.backgroundColour);
    }
    FillSolid(dc, bar, state.barColour);

    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, control.font);
    if (UsesTwoColourText(state)) {
        DrawTextClipped(dc, state.text, client, bar, state.backgroundColour);
        DrawTextClipped(dc, state.text, client, remainder, state.barColour);
    } else {
        // Automatic text on the system face: the system's text colour for that face.
        SetTextColor(dc,
                     state.textColour == kProgressAutoColour ? GetSysColor(COLOR_BTNTEXT) : state.textColour);
        DrawTextA(dc, state.text, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    SelectObject(dc, oldFont);
}

LRESULT Create(HWND window) {
    auto* control = new (std::nothrow) TextProgress{};
    if (control == nullptr) {
        return FALSE;
    }
    control->window = window;
    control->font = CreateGuiFont(FW_MEDIUM);
    SetControlState(window, control);
    return TRUE;
}

// Sets a colour, repaints, and returns the colour it replaced.
LRESULT ReplaceColour(HWND window, std::uint32_t& colour, LPARAM value) {
    const std::uint32_t previous = colour;
    colour = static_cast<std::uint32_t>(value);
    RedrawNow(window);
    return previous;
}

LRESULT CALLBACK TextProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        return Create(window);
    }
    TextProgress* control = GetControlState<TextProgress>(window);
    if (control == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    TextProgressState& state = control->state;
    switch (message) {
    case WM_SETTEXT:
        // TRUE for a text kept, so SetWindowText reports success as for any window.
        if (lParam == 0) {
            return FALSE;
        }
        SetProgressText(state, reinterpret_cast<const char*>(lParam));
        RedrawNow(window);
        return TRUE;
    case WM_GETTEXT:
        return static_cast<LRESULT>(CopyProgressText(state, reinterpret_cast<char*>(lParam), wParam));
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(std::strlen(state.text));
    case WM_PAINT:
        Paint(*control);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_NCDESTROY:
        DeleteObject(control->font);
        DeleteControlState(window, control);
        return 0;
    case PBM_SETRANGE:
        SetProgressRange16(state, static_cast<std::uint32_t>(lParam));
        return 0;
    case PBM_SETPOS: {
        const std::int32_t previous = state.position;
        state.position = static_cast<std::int32_t>(wParam);
        RedrawNow(window);
        return previous;
    }
    case PBM_SETSTEP: {
        const std::int32_t previous = state.step;
        state.step = static_cast<std::int32_t>(wParam);
        return previous;
    }
    case PBM_STEPIT: {
        const std::int32_t previous = StepProgress(state);
        RedrawNow(window);
        return previous;
    }
    case PBM_SETRANGE32:
        state.minimum = static_cast<std::int32_t>(wParam);
        state.maximum = static_cast<std::int32_t>(lParam);
        return 0;
    case PBM_GETRANGE:
        if (lParam != 0) {
            auto* range = reinterpret_cast<PBRANGE*>(lParam);
            range->iLow = state.minimum;
            range->iHigh = state.maximum;
            return 0;
        }
        return ProgressRangeLimit(state, wParam);
    case PBM_GETPOS:
        return state.position;
    case PBM_SETBARCOLOR:
        return ReplaceColour(window, state.barColour, lParam);
    case TPM_SETTEXTCOLOR:
        return ReplaceColour(window, state.textColour, lParam);
    case TPM_SETVERTICAL:
        state.vertical = static_cast<std::int32_t>(lParam);
        return 0;
    case TPM_GETVERTICAL:
        return state.vertical;
    case TPM_GETRANGE:
        if (wParam != 0) {
            *reinterpret_cast<std::int32_t*>(wParam) = state.minimum;
        }
        if (lParam != 0) {
            *reinterpret_cast<std::int32_t*>(lParam) = state.maximum;
        }
        return 0;
    case PBM_SETBKCOLOR:
        return ReplaceColour(window, state.backgroundColour, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

ATOM RegisterTextProgressClass(HINSTANCE instance) {
    return RegisterControlClass(instance, "KVTEXTPROGRESS", TextProgressProc, CS_HREDRAW | CS_VREDRAW,
                                IDC_ARROW, nullptr);
}
