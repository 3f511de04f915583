#include "control_test_support.h"
#include "gdi_counter.h"
#include "kv_controls.h"
#include "tab_sheet.h"
#include "window_capture.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int kSheetId = 7;

struct Notice {
    UINT code;
    HWND from;
    UINT_PTR id;
};

std::vector<Notice> g_notices;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        g_notices.push_back({header->code, header->hwndFrom, header->idFrom});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A page fills itself with the colour kept in its user data.
LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrA(window, GWLP_USERDATA)));
        RECT client;
        GetClientRect(window, &client);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
        char text[64];
        GetWindowTextA(window, text, sizeof text);
        SetBkMode(dc, TRANSPARENT);
        TextOutA(dc, 10, 10, text, lstrlenA(text));
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

std::vector<UINT> Codes() {
    std::vector<UINT> codes;
    for (const Notice& n : g_notices) {
        codes.push_back(n.code);
    }
    return codes;
}

RECT WindowRectIn(HWND window, HWND reference) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, reference, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A sheet with a caption and a sizing border inside a parent that records its notifications,
// and pages that start as captioned pop-ups.
class TabSheetWindow : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        ASSERT_NE(RegisterTabSheetClass(instance), 0);
        WNDCLASSA parent{};
        parent.lpfnWndProc = ParentProc;
        parent.hInstance = instance;
        parent.lpszClassName = "TabSheetTestParent";
        parent.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
        ASSERT_NE(RegisterClassA(&parent), 0);
        WNDCLASSA page{};
        page.lpfnWndProc = PageProc;
        page.hInstance = instance;
        page.lpszClassName = "TabSheetTestPage";
        ASSERT_NE(RegisterClassA(&page), 0);
    }

    void SetUp() override {
        g_notices.clear();
        parent = ShowInactivePopup("TabSheetTestParent", "Sheet test", 0, 0, 520, 420);
        ASSERT_NE(parent, nullptr);
        sheet = CreateWindowExA(
            0, "KVTABSHEET", "Sheet", WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_THICKFRAME | WS_CLIPCHILDREN,
            10, 10, 400, 300, parent, reinterpret_cast<HMENU>(kSheetId), GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(sheet, nullptr);
        tabs = FindWindowExA(sheet, nullptr, WC_TABCONTROLA, nullptr);
        ASSERT_NE(tabs, nullptr);
        PumpMessages();
    }

    void TearDown() override {
        for (HWND page : pages) {
            if (IsWindow(page)) {
                DestroyWindow(page);
            }
        }
        DestroyWindow(parent);
        PumpMessages();
    }

    HWND MakePage(const char* name, COLORREF colour) {
        HWND page = CreateWindowExA(0, "TabSheetTestPage", name, WS_POPUP | WS_CAPTION | WS_THICKFRAME, 50,
                                    50, 120, 90, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(page, GWLP_USERDATA, static_cast<LONG_PTR>(colour));
        pages.push_back(page);
        return page;
    }

    // Three pages "One", "Two" and "Three" behind tabs 0 to 2.
    void AddThreePages() {
        ASSERT_EQ(AddTabPage(sheet, MakePage("one", 0x0000C0FF), "One", -1), 0);
        ASSERT_EQ(AddTabPage(sheet, MakePage("two", 0x00C0FFC0), "Two", -1), 1);
        ASSERT_EQ(AddTabPage(sheet, MakePage("three", 0x00FFC0C0), "Three", -1), 2);
    }

    // Clicks a tab with the mouse, as a user selects it.
    void ClickTab(int index) {
        RECT item{};
        ASSERT_TRUE(SendMessageA(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)));
        const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        SendMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(tabs, WM_LBUTTONUP, 0, at);
        PumpMessages();
    }

    RECT DisplayArea() {
        RECT area;
        GetClientRect(tabs, &area);
        SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
        return area;
    }

    std::string Caption(HWND window) {
        char text[300];
        GetWindowTextA(window, text, sizeof text);
        return text;
    }

    std::string TabText(int index) {
        char text[300] = {};
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(tabs, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item));
        return text;
    }

    HWND parent = nullptr;
    HWND sheet = nullptr;
    HWND tabs = nullptr;
    std::vector<HWND> pages;
};

} // namespace

TEST_F(TabSheetWindow, ReportsCreationAfterItIsCompleteAndHoldsPagesAsChildren) {
    const std::vector<UINT> codes = Codes();
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.back(), kTabSheetCreated);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), kTabSheetCreated), 1);
    EXPECT_EQ(g_notices.back().from, sheet);
    EXPECT_EQ(g_notices.back().id, static_cast<UINT_PTR>(kSheetId));
    EXPECT_EQ(GetWindowLongPtrA(tabs, GWL_STYLE) & 0x50018042, 0x50018042);

    AddThreePages();
    HWND inserted = MakePage("four", 0);
    EXPECT_EQ(AddTabPage(sheet, inserted, "Four", 1), 1);
    EXPECT_EQ(GetTabCount(sheet), 4);
    EXPECT_EQ(GetCurrentTab(sheet), 0);
    EXPECT_EQ(GetTabPage(sheet, 1), inserted);
    EXPECT_EQ(GetTabPage(sheet, 2), pages[1]);
    EXPECT_EQ(GetTabPage(sheet, 9), nullptr);
    EXPECT_EQ(FindTabOfPage(sheet, pages[2]), 3);
    EXPECT_EQ(FindTabOfPage(sheet, parent), -1);
    EXPECT_EQ(TabText(1), "Four");

    const RECT display = DisplayArea();
    for (HWND page : pages) {
        EXPECT_EQ(GetParent(page), tabs);
        const LONG_PTR style = GetWindowLongPtrA(page, GWL_STYLE);
        EXPECT_EQ(style & (WS_CHILD | WS_POPUP | WS_CAPTION | WS_THICKFRAME), WS_CHILD);
        const RECT r = WindowRectIn(page, tabs);
        EXPECT_TRUE(SameRect(r, display))
            << r.left << "," << r.top << "," << r.right << "," << r.bottom << " vs " << display.left << ","
            << display.top << "," << display.right << "," << display.bottom;
        EXPECT_EQ(IsWindowVisible(page) != 0, page == pages[0]) << "only the first page shows";
    }
}

TEST_F(TabSheetWindow, ClickingATabShowsItsPageAndCaption) {
    AddThreePages();
    ClickTab(2);
    EXPECT_EQ(GetCurrentTab(sheet), 2);
    EXPECT_TRUE(IsWindowVisible(pages[2]));
    EXPECT_FALSE(IsWindowVisible(pages[0]));
    EXPECT_EQ(Caption(sheet), "Three");

    const Image image = CaptureClient(sheet);
    EXPECT_TRUE(WritePng(ArtifactPath("tab_sheet.png"), image));
    const RECT display = DisplayArea();
    EXPECT_EQ(image.At((display.left + display.right) / 2, (display.top + display.bottom) / 2), 0xC0C0FFu)
        << "the third page's colour fills the display area";
    RECT tabRect{};
    SendMessageA(tabs, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tabRect));
    EXPECT_GT(tabRect.top, display.bottom - 4) << "tabs run along the bottom";
}

TEST_F(TabSheetWindow, ClosingThreeTimesDestroysPagesRightToLeftThenTheSheet) {
    AddThreePages();
    ClickTab(2);
    struct Step {
        int destroyed;
        int shown;
    } steps[] = {{2, 1}, {1, 0}};
    for (const Step& step : steps) {
        SendMessageA(sheet, WM_CLOSE, 0, 0);
        EXPECT_FALSE(IsWindow(pages[step.destroyed]));
        EXPECT_EQ(GetCurrentTab(sheet), step.shown);
        EXPECT_TRUE(IsWindowVisible(pages[step.shown]));
        EXPECT_EQ(GetTabCount(sheet), step.shown + 1);
    }
    g_notices.clear();
    SendMessageA(sheet, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(pages[0]));
    EXPECT_FALSE(IsWindow(sheet));
    EXPECT_EQ(Codes(), std::vector<UINT>{kTabSheetDestroyed});
}

TEST_F(TabSheetWindow, PagesThatDestroyThemselvesLoseTheirTabs) {
    AddThreePages();
    DestroyWindow(pages[1]);
    EXPECT_EQ(GetTabCount(sheet), 2);
    EXPECT_EQ(GetTabPage(sheet, 1), pages[2]);
    SendMessageA(pages[0], WM_CLOSE, 0, 0); // the default handling destroys the page
    EXPECT_EQ(GetTabCount(sheet), 1);
    EXPECT_EQ(GetTabPage(sheet, 0), pages[2]);
    EXPECT_TRUE(IsWindowVisible(pages[2]));
    DestroyWindow(pages[2]);
    EXPECT_FALSE(IsWindow(sheet)) << "the sheet goes with its last page";
}

TEST_F(TabSheetWindow, RemovingWithDestroyTakesExactlyOneTab) {
    AddThreePages();
    EXPECT_EQ(RemoveTabPage(sheet, 2, TRUE), 1);
    EXPECT_FALSE(IsWindow(pages[2]));
    EXPECT_EQ(GetTabCount(sheet), 2);
    EXPECT_EQ(RemoveTabPage(sheet, 5, TRUE), -1);
    EXPECT_EQ(RemoveTabPage(sheet, 0, FALSE), 0);
    EXPECT_TRUE(IsWindow(pages[0]));
    EXPECT_EQ(GetTabPage(sheet, 0), pages[1]);
    EXPECT_EQ(Caption(sheet), "Two");
}

TEST_F(TabSheetWindow, TornOffPageComesBackUnderItsTabWhenAnotherIsSelected) {
    AddThreePages();
    ClickTab(1);
    SendMessageA(sheet, WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    HWND torn = pages[1];
    EXPECT_EQ(GetTabCount(sheet), 2);
    EXPECT_EQ(FindTabOfPage(sheet, torn), -1);
    EXPECT_EQ(GetAncestor(torn, GA_PARENT), GetDesktopWindow());
    EXPECT_EQ(GetWindowLongPtrA(torn, GWL_STYLE) & (WS_CHILD | WS_POPUP), WS_POPUP);
    EXPECT_TRUE(IsZoomed(torn));
    EXPECT_TRUE(IsWindowVisible(torn));
    EXPECT_EQ(Caption(torn), "Two");

    // Resizing the sheet leaves the torn-off page as it is.
    const RECT before = WindowRectIn(torn, nullptr);
    g_notices.clear();
    MoveWindow(sheet, 10, 10, 460, 340, TRUE);
    EXPECT_EQ(Codes(), std::vector<UINT>{kTabSheetResized});
    EXPECT_TRUE(SameRect(WindowRectIn(torn, nullptr), before));
    EXPECT_TRUE(SameRect(WindowRectIn(pages[0], tabs), DisplayArea()));
    EXPECT_TRUE(SameRect(WindowRectIn(pages[2], tabs), DisplayArea()));

    ClickTab(0);
    EXPECT_EQ(GetTabCount(sheet), 3);
    EXPECT_EQ(GetTabPage(sheet, 1), torn);
    EXPECT_EQ(TabText(1), "Two");
    EXPECT_EQ(GetParent(torn), tabs);
    EXPECT_EQ(GetWindowLongPtrA(torn, GWL_STYLE) & (WS_CHILD | WS_POPUP | WS_MAXIMIZE), WS_CHILD);
    EXPECT_TRUE(SameRect(WindowRectIn(torn, tabs), DisplayArea()));
    EXPECT_FALSE(IsWindowVisible(torn));
    EXPECT_TRUE(IsWindowVisible(pages[0]));
    EXPECT_EQ(DockTornPage(sheet), 0) << "nothing is out any more";
    EXPECT_EQ(TearOffPage(sheet, 7), 0);
}

TEST_F(TabSheetWindow, SelectionStaysWithTheClickedPageWhenTheDockedOneLandsBeforeIt) {
    AddThreePages();
    EXPECT_EQ(TearOffPage(sheet, 0), 1);
    ClickTab(1);
    EXPECT_EQ(GetTabPage(sheet, 0), pages[0]);
    EXPECT_EQ(GetCurrentTab(sheet), 2);
    EXPECT_TRUE(IsWindowVisible(pages[2]));
    EXPECT_FALSE(IsWindowVisible(pages[0]));
    EXPECT_EQ(Caption(sheet), "Three");
}

TEST_F(TabSheetWindow, TearingOffAnotherPageDocksTheFirst) {
    AddThreePages();
    EXPECT_EQ(TearOffPage(sheet, 0), 1);
    EXPECT_EQ(GetTabPage(sheet, 0), pages[1]);
    EXPECT_EQ(TearOffPage(sheet, 1), 1) << "the first page is back at tab 0 before tab 1 goes";
    EXPECT_EQ(GetTabPage(sheet, 0), pages[0]);
    EXPECT_EQ(GetTabPage(sheet, 1), pages[2]);
    EXPECT_EQ(GetTabCount(sheet), 2);
    EXPECT_TRUE(IsZoomed(pages[1]));
    DestroyWindow(pages[1]);
    EXPECT_EQ(DockTornPage(sheet), 0) << "a torn-off page closed meanwhile does not come back";
    EXPECT_EQ(GetTabCount(sheet), 2);
}

TEST_F(TabSheetWindow, BlockedEdgesAnswerClientForTheirHitCodes) {
    RECT frame;
    GetWindowRect(sheet, &frame);
    const int midX = (frame.left + frame.right) / 2;
    const int midY = (frame.top + frame.bottom) / 2;
    struct Case {
        POINT at;
        LRESULT open;
        LRESULT withTopAndBottomBlocked;
    } cases[] = {
        {{midX, frame.top + 1}, HTTOP, HTCLIENT},
        {{midX, frame.bottom - 2}, HTBOTTOM, HTCLIENT},
        {{frame.left + 1, midY}, HTLEFT, HTLEFT},
        {{frame.right - 2, midY}, HTRIGHT, HTRIGHT},
        {{frame.left + 1, frame.top + 1}, HTTOPLEFT, HTTOPLEFT},
        {{frame.right - 2, frame.bottom - 2}, HTBOTTOMRIGHT, HTBOTTOMRIGHT},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SendMessageA(sheet, WM_NCHITTEST, 0, MAKELPARAM(c.at.x, c.at.y)), c.open);
    }
    EXPECT_EQ(SetTabSheetBlockedEdges(sheet, kTabSheetEdgeTop | kTabSheetEdgeBottom), 0u);
    for (const Case& c : cases) {
        EXPECT_EQ(SendMessageA(sheet, WM_NCHITTEST, 0, MAKELPARAM(c.at.x, c.at.y)),
                  c.withTopAndBottomBlocked);
    }
}

TEST_F(TabSheetWindow, RefusesToMoveWhenNotMovableAndKeepsAMinimumHeight) {
    EXPECT_EQ(SetTabSheetMovable(sheet, FALSE), TRUE);
    EXPECT_EQ(SendMessageA(sheet, WM_SYSCOMMAND, SC_MOVE, 0), 1);
    MINMAXINFO info{};
    EXPECT_EQ(SendMessageA(sheet, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(info.ptMinTrackSize.y, 60);
    EXPECT_EQ(RemoveTabPage(sheet, -1, FALSE), -1) << "no tab to remove";
    SendMessageA(sheet, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(sheet)) << "closing an empty sheet destroys it";
}

TEST_F(TabSheetWindow, FreesItsFontAndTornOffPageWithTheSheet) {
    ASSERT_GT(GdiCounter::Redirected(), 0);
    GdiCounter counter;
    HWND own =
        CreateWindowExA(0, "KVTABSHEET", "Own", WS_CHILD | WS_VISIBLE | WS_CAPTION, 0, 0, 200, 150, parent,
                        reinterpret_cast<HMENU>(kSheetId + 1), GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(counter.Live(), 1) << "the tab font";
    const std::vector<LOGFONTA> fonts = counter.LiveFonts();
    ASSERT_EQ(fonts.size(), 1u);
    EXPECT_STREQ(fonts[0].lfFaceName, "Arial");
    EXPECT_EQ(fonts[0].lfHeight, 14);
    EXPECT_EQ(fonts[0].lfWeight, FW_NORMAL);
    EXPECT_EQ(fonts[0].lfCharSet, 0);
    EXPECT_EQ(fonts[0].lfQuality, PROOF_QUALITY);
    EXPECT_EQ(fonts[0].lfPitchAndFamily, 0x32);
    AddTabPage(own, MakePage("a", 0x0000FF), "A", -1);
    AddTabPage(own, MakePage("b", 0x00FF00), "B", -1);
    EXPECT_EQ(TearOffPage(own, 1), 1);
    HWND torn = pages.back();
    DestroyWindow(own);
    EXPECT_EQ(counter.Live(), 0);
    EXPECT_FALSE(IsWindow(torn)) << "a torn-off page goes with its sheet";
}
