// The main window: builds its children at creation, lays them out from top to bottom
// (rebar, view, trackbar, playback bar, status bar) and hands commands and notifications on.
#include "app/main_window.h"

#include "app/app_state.h"
#include "app/command_state.h"
#include "app/commands.h"
#include "app/format.h"
#include "bars/bar_layout.h"
#include "bars/status_bar.h"
#include "bars/toolbars.h"
#include "bars/trackbar.h"
#include "document/avi_document.h"
#include "document/file_commands.h"
#include "playback/audio_output.h"
#include "playback/frame_timer.h"
#include "resources/resource.h"

static void CreateViewWindow(HWND hwnd)
{
    hwndView = CreateWindowExA(WS_EX_CLIENTEDGE, pszViewClass, NULL, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd,
                               (HMENU)(INT_PTR)IDC_VIEW, hInst, NULL);
}

static void OnCreate(HWND hwnd)
{
    hwndMain = hwnd;
    CreatePlayBar();
    CreateRebar();
    UpdateCommandUI();
    CreateStatusBar();
    CreateTrackbar();
    CreateViewWindow(hwnd);
}

static void OnDestroy()
{
    CancelFrameTimer();
    StopPlayback();
    CloseDocument();
    SaveRebarLayout();
    PostQuitMessage(0);
}

void LayoutWindows()
{
    RECT rc;
    GetClientRect(hwndMain, &rc);
    int cx = rc.right, cy = rc.bottom;
    SizeStatusPanes(cx);
    int cyStatus = GetWindowHeight(hwndStatus);
    int cyPlay = GetWindowHeight(hwndToolbarPlay);
    int cyTrack = GetWindowHeight(hwndTrackbar);
    int cyRebar = GetWindowHeight(hwndRebar);

    MoveWindow(hwndStatus, 0, cy - cyStatus, cx, cyStatus, TRUE);
    MoveWindow(hwndToolbarPlay, 0, cy - cyPlay - cyStatus, cx, cyPlay, TRUE);
    MoveWindow(hwndTrackbar, 0, cy - cyTrack - cyPlay - cyStatus, cx, cyTrack, TRUE);
    MoveWindow(hwndRebar, 0, 0, cx, cyRebar, TRUE);
    MoveWindow(hwndView, 0, cyRebar, cx, cy - cyRebar - cyTrack - cyPlay - cyStatus, TRUE);
    InvalidateRect(hwndView, NULL, TRUE);
    UpdateWindow(hwndView);
}

void GetToolTipText(NMTTDISPINFOA *pdi)
{
    char szText[256];
    if (LoadStringA(hInst, (UINT)pdi->hdr.idFrom, szText, sizeof szText) == 0)
        return;
    char *pszBreak = FindLineBreak(szText);
    const char *pszTip = *pszBreak ? pszBreak + 1 : szText;
    FormatString(pdi->szText, sizeof pdi->szText, "%s", pszTip);
    pdi->lpszText = pdi->szText;
}

static LRESULT OnNotify(NMHDR *pnmh)
{
    switch (pnmh->code) {
    case TBN_GETBUTTONINFOA: return pnmh->idFrom == IDC_PLAYBAR && GetPlayBarButton((NMTOOLBARA *)pnmh);
    case RBN_HEIGHTCHANGE: LayoutWindows(); break;
    case TTN_NEEDTEXTA: GetToolTipText((NMTTDISPINFOA *)pnmh); break;
    }
    return 0;
}

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_CREATE: OnCreate(hwnd); return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED)
            LayoutWindows();
        return 0;
    case WM_CLOSE:
        if (!QuerySaveChanges())
            return 0;
        break;
    case WM_QUERYENDSESSION: return QuerySaveChanges();
    case WM_SETFOCUS:
        if (hwndTrackbar)
            SetFocus(hwndTrackbar);
        return 0;
    case WM_NOTIFY: return OnNotify((NMHDR *)lParam);
    case WM_COMMAND: OnCommand(wParam); return 0;
    case WM_HSCROLL: OnTrackbarScroll(LOWORD(wParam), (HWND)lParam); return 0;
    case WM_MENUSELECT: ShowMenuHelp(wParam, lParam); return 0;
    case WM_INITMENUPOPUP: OnInitMenuPopup((HMENU)wParam, LOWORD(lParam), HIWORD(lParam)); return 0;
    case MM_WOM_DONE: OnAudioBufferDone((HWAVEOUT)wParam, (const WAVEHDR *)lParam); return 0;
    case MM_WOM_OPEN:
    case MM_WOM_CLOSE: return 0;
    }
    return DefWindowProcA(hwnd, uMsg, wParam, lParam);
}
