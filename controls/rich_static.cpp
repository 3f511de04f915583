// KVRICHSTATIC: one line of text centred in a box with its own text and background colours, a
// one-pixel frame and a font the caller may lend it.
#include "fixed_text.h"
#include "kv_controls.h"
#include "rich_static_state.h"

#include "control_common.h"

#include <cstring>
#include <new>

namespace {

constexpr std::size_t kTextSize = 260;

struct RichStatic {
    HWND window;
    char text[kTextSize] = {};
    COLORREF textColour = 0x00000000;
    COLORREF backgroundColour = kRichStaticUnset;
    COLORREF frameColour = 0x00000000;
    HFONT defaultFont = nullptr;
    HFONT currentFont = nullptr;
};

HFONT MakeDefaultFont() {
    LOGFONTA font{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfWeight = FW_MEDIUM;
    return CreateFontIndirectA(&font);
}

void Paint(const RichStatic& s) {
    BufferedPaint paint(s.window);
    HDC dc = paint.dc();
    RECT client = paint.client();
    const bool systemBackground = s.backgroundColour == kRichStaticUnset;
    HBRUSH brush = systemBackground ? GetSysColorBrush(COLOR_BTNFACE) : CreateSolidBrush(s.backgroundColour);
    if (s.frameColour != kRichStaticUnset) {
        HPEN pen = CreatePen(PS_SOLID, 1, s.frameColour);
        HGDIOBJ oldPen = SelectObject(dc, pen);
        HGDIOBJ oldBrush = SelectObject(dc, brush);
        Rectangle(dc, client.left, client.top, client.right, client.bottom);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    } else {
        FillRect(dc, &client, brush);
    }
    if (!systemBackground) {
        DeleteObject(brush);
    }
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, s.currentFont);
    SetTextColor(dc, RichStaticTextColour(s.textColour, s.backgroundColour));
    DrawTextA(dc, s.text, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, oldFont);
}

LRESULT SetColour(RichStatic& s, COLORREF& field, LPARAM colour) {
    const COLORREF previous = field;
    field = static_cast<COLORREF>(colour);
    RedrawNow(s.window);
    return previous;
}

LRESULT CALLBACK RichStaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        RichStatic* created = new (std::nothrow) RichStatic{window};
        if (created == nullptr) {
            return FALSE;
        }
        created->defaultFont = MakeDefaultFont();
        created->currentFont = created->defaultFont;
        SetControlState(window, created);
        return TRUE;
    }
    RichStatic* s = GetControlState<RichStatic>(window);
    if (s == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_SETTEXT:
        // TRUE for a text kept, so SetWindowText reports success as for any window. A longer
        // text is cut to the 259 characters the field holds.
        if (lParam == 0) {
            return FALSE;
        }
        CopyToField(s->text, kTextSize, reinterpret_cast<const char*>(lParam));
        RedrawNow(window);
        return TRUE;
    case WM_GETTEXT:
        return static_cast<LRESULT>(CopyFromField(s->text, reinterpret_cast<char*>(lParam), wParam));
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(std::strlen(s->text));
    case WM_PAINT:
        Paint(*s);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETFONT:
        s->currentFont = wParam != 0 ? reinterpret_cast<HFONT>(wParam) : s->defaultFont;
        if (LOWORD(lParam) != 0) {
            RedrawNow(window);
        }
        return 0;
    case WM_NCDESTROY:
        DeleteObject(s->defaultFont);
        DeleteControlState(window, s);
        return 0;
    case RSM_SETBKCOLOR:
        return SetColour(*s, s->backgroundColour, lParam);
    case RSM_SETTEXTCOLOR:
        return SetColour(*s, s->textColour, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

ATOM RegisterRichStaticClass(HINSTANCE instance) {
    return RegisterControlClass(instance, "KVRICHSTATIC", RichStaticProc, CS_HREDRAW | CS_VREDRAW, IDC_ARROW,
                                nullptr);
}
