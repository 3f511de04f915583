#pragma once
// The KVTABSHEET window class: windows held as pages behind the tabs of a system tab control
// (tabs along the bottom). Callers reach a sheet through these operations on its window; a page
// can be torn off into a maximized window of its own and docked again.
#include <windows.h>

// WM_NOTIFY codes the sheet sends its parent (NMHDR from the sheet).
constexpr UINT kTabSheetCreated = 4;
constexpr UINT kTabSheetResized = 3;
constexpr UINT kTabSheetDestroyed = 1;

// Blocked sizing edges: a set bit makes the sheet answer HTCLIENT for that edge.
constexpr DWORD kTabSheetEdgeTop = 0x01;
constexpr DWORD kTabSheetEdgeBottom = 0x02;
constexpr DWORD kTabSheetEdgeLeft = 0x04;
constexpr DWORD kTabSheetEdgeRight = 0x08;
constexpr DWORD kTabSheetEdgeTopLeft = 0x10;
constexpr DWORD kTabSheetEdgeTopRight = 0x20;
constexpr DWORD kTabSheetEdgeBottomLeft = 0x40;
constexpr DWORD kTabSheetEdgeBottomRight = 0x80;

// Makes the page a child of the sheet behind a new tab at index (-1: after the last); returns the
// tab's index, or -1 when it could not be added.
int AddTabPage(HWND sheet, HWND page, const char* text, int index);
// Removes the tab at index (-1: the current one), destroying its page when asked. Returns the
// tab selected afterwards, or -1 when there was nothing to remove or the sheet went with its last tab.
int RemoveTabPage(HWND sheet, int index, BOOL destroy);
// Shows the selected tab's page over the display area and puts its text into the sheet's caption.
void ShowSelectedPage(HWND sheet);
// Takes the tab's page out of the sheet as a maximized pop-up window; 1 when done, 0 without a page.
int TearOffPage(HWND sheet, int index);
// Puts a torn-off page back at its old position under its old text; 1 when done, 0 when none was out.
int DockTornPage(HWND sheet);

int GetCurrentTab(HWND sheet);
int GetTabCount(HWND sheet);
HWND GetTabPage(HWND sheet, int index);
int FindTabOfPage(HWND sheet, HWND page);

// Whether the system move command may move the sheet; returns the previous setting.
BOOL SetTabSheetMovable(HWND sheet, BOOL movable);
// Sets the blocked sizing edges (kTabSheetEdge... bits); returns the previous set.
DWORD SetTabSheetBlockedEdges(HWND sheet, DWORD edges);
