// The status bar along the bottom: four panes (menu help's room, the frame counter, the time, the mouse over the
// frame) whose widths come from template strings, and one simple pane with the help of the highlighted command
// while a menu is open. Every operation does nothing when the bar could not be made.
#include "bars/status_bar.h"

#include "app/app_state.h"
#include "app/format.h"
#include "resources/resource.h"

#include <commctrl.h>

#include <algorithm>

enum { PANE_COUNT = 4, SIZE_GRIP_WIDTH = 16 };

static int aStatusEdges[PANE_COUNT];
static char szFmtFrames[32], szFmtSeconds[32], szFmtCursor[32];

static void SetPaneText(int nPane, const char *pszText, UINT uType = 0)
{
    SendMessageA(hwndStatus, SB_SETTEXTA, (WPARAM)(nPane | uType), (LPARAM)pszText);
}

// The template of pane 1, 2 or 3: the text its width is measured on. Returns its length.
static int LoadPaneTemplate(int nPane, char (&szTemplate)[80])
{
    szTemplate[0] = '\0';
    return LoadStringA(hInst, IDS_PANE_FRAMES_TEMPLATE + nPane - 1, szTemplate, sizeof szTemplate);
}

BOOL CreateStatusBar()
{
    LoadStringA(hInst, IDS_PANE_FRAMES_FORMAT, szFmtFrames, sizeof szFmtFrames);
    LoadStringA(hInst, IDS_PANE_SECONDS_FORMAT, szFmtSeconds, sizeof szFmtSeconds);
    LoadStringA(hInst, IDS_PANE_CURSOR_FORMAT, szFmtCursor, sizeof szFmtCursor);
    hwndStatus = CreateStatusWindowA(WS_CHILD | SBARS_SIZEGRIP, "", hwndMain, IDC_STATUSBAR);
    if (!hwndStatus)
        return FALSE;
    for (int i = 0; i < PANE_COUNT; i++)
        aStatusEdges[i] = 20 * i;
    SendMessageA(hwndStatus, SB_SETPARTS, PANE_COUNT, (LPARAM)aStatusEdges);
    SetPaneText(0, "", SBT_NOBORDERS);
    for (int i = 1; i < PANE_COUNT; i++) {
        char szTemplate[80];
        LoadPaneTemplate(i, szTemplate);
        SetPaneText(i, szTemplate);
    }
    UpdateStatusPanes();
    ShowWindow(hwndStatus, SW_SHOW);
    return TRUE;
}

// Panes 1 to 3 take their template's width and 8 pixels, the grip 16 at the right end, pane 0 the rest (at least 4).
void SizeStatusPanes(int cxClient)
{
    HDC hdc = hwndStatus ? GetDC(NULL) : NULL;
    if (!hdc)
        return;
    HFONT hfont = (HFONT)SendMessageA(hwndStatus, WM_GETFONT, 0, 0);
    HGDIOBJ hfontOld = hfont ? SelectObject(hdc, hfont) : NULL;
    int cxTotal = 0;
    for (int i = 1; i < PANE_COUNT; i++) {
        char szTemplate[80];
        SIZE size = {0, 0};
        GetTextExtentPoint32A(hdc, szTemplate, LoadPaneTemplate(i, szTemplate), &size);
        cxTotal += size.cx + 8;
        aStatusEdges[i] = cxTotal;
    }
    int cxFirst = std::max(cxClient - cxTotal - SIZE_GRIP_WIDTH, 4);
    aStatusEdges[0] = 0;
    for (int &x : aStatusEdges)
        x += cxFirst;
    if (hfontOld)
        SelectObject(hdc, hfontOld);
    ReleaseDC(NULL, hdc);
    SendMessageA(hwndStatus, SB_SETPARTS, PANE_COUNT, (LPARAM)aStatusEdges);
}

static void UpdateTimePanes()
{
    if (!hwndStatus)
        return;
    char szFrames[80] = "", szSeconds[80] = "";
    if (hwndView) {
        LONG t = lCurTime, tEnd = lEndTime;
        FormatString(szFrames, sizeof szFrames, szFmtFrames, (unsigned)(lCurFrame + 1), (unsigned)lFrameCount);
        FormatString(szSeconds, sizeof szSeconds, szFmtSeconds, (unsigned)(t / 1000), (unsigned)(t % 1000),
                     (unsigned)(tEnd / 1000), (unsigned)(tEnd % 1000));
    }
    SetPaneText(1, szFrames);
    SetPaneText(2, szSeconds);
}

// The frame is drawn unscaled at the view's top-left corner: the pointer's client position is the frame's pixel,
// shown row first. Run at every idle step, it writes only a changed text: a write repaints the bar, and the
// repaint would bring the loop back here at once.
void UpdateCursorPane()
{
    if (!hwndStatus)
        return;
    char szCursor[80] = "";
    POINT pt;
    RECT rc;
    if (hwndView && GetCursorPos(&pt) && ScreenToClient(hwndView, &pt) && GetClientRect(hwndView, &rc) && pt.x >= 0 &&
        pt.x < std::min(rc.right, cxCanvas) && pt.y >= 0 && pt.y < std::min(rc.bottom, cyCanvas))
        FormatString(szCursor, sizeof szCursor, szFmtCursor, (int)pt.y, (int)pt.x);
    char szShown[80] = "";
    if (LOWORD(SendMessageA(hwndStatus, SB_GETTEXTLENGTHA, 3, 0)) < sizeof szShown)
        SendMessageA(hwndStatus, SB_GETTEXTA, 3, (LPARAM)szShown);
    if (lstrcmpA(szCursor, szShown) != 0)
        SetPaneText(3, szCursor);
}

void UpdateStatusPanes()
{
    UpdateTimePanes();
    UpdateCursorPane();
}

// A command's string holds its help and, after a line break, its tooltip. Identifier 0 (a menu's title, or the
// menu closing) and system commands go to the platform's MenuHelp, which also ends the simple pane.
void ShowMenuHelp(WPARAM wParam, LPARAM lParam)
{
    if (!hwndStatus)
        return;
    UINT id = LOWORD(wParam);
    if (id >= 1 && id < 0xF000) {
        char szHelp[256] = "";
        LoadStringA(hInst, id, szHelp, sizeof szHelp);
        *FindLineBreak(szHelp) = '\0';
        SendMessageA(hwndStatus, SB_SIMPLE, TRUE, 0);
        SetPaneText(SB_SIMPLEID, szHelp, SBT_NOBORDERS);
        return;
    }
    static UINT aidNone[2] = {0, 0};
    MenuHelp(WM_MENUSELECT, wParam, lParam, NULL, NULL, hwndStatus, aidNone);
}

void ShowProgress(UINT idFormat, DWORD dwAmount)
{
    if (!hwndStatus)
        return;
    char szFormat[80] = "", szText[160];
    LoadStringA(hInst, idFormat, szFormat, sizeof szFormat);
    FormatString(szText, sizeof szText, szFormat, dwAmount);
    if (!SendMessageA(hwndStatus, SB_ISSIMPLE, 0, 0))
        SendMessageA(hwndStatus, SB_SIMPLE, TRUE, 0);
    SetPaneText(SB_SIMPLEID, szText, SBT_NOBORDERS);
}

void EndProgress()
{
    if (hwndStatus)
        SendMessageA(hwndStatus, SB_SIMPLE, FALSE, 0);
}
