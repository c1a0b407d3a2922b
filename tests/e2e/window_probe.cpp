// Looks at Pelto's main window (found by its class: its title changes with the open file) from another process,
// for the black-box runs. Wine keeps a menu's items in the process that owns the menu, so from outside only the
// room the bar takes is to be had. Prints "menubar X Y WIDTH HEIGHT" and the view's client area as
// "view X Y WIDTH HEIGHT", both in screen pixels, then a "band ID X Y WIDTH HEIGHT" line for each toolbar in the rebar;
// with the argument "close" it posts WM_CLOSE instead.
// With "play" it presses Play as the toolbar does, by a posted WM_COMMAND and no input, watches the view's picture
// on the screen every ~2 ms until it has stood still for a second (15 s at most), and prints
// "play frames=COUNT from=POSITION at=POSITION reached_ms=MS distinct=N": the position trackbar's frame count, its
// position before and after, the milliseconds from posting Play to the last change of the picture when the trackbar
// then stands on the last frame (-1 when it does not), and how many different pictures the screen showed.
// Exit code 0 when done, 1 without a main window, 2 when it has no menu bar, view or trackbar or the message was not
// posted, 3 when playback did not reach the last frame.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <string_view>

static int Fail(int nExitCode, const char *pszWhat)
{
    fprintf(stderr, "window_probe: %s\n", pszWhat);
    return nExitCode;
}

// A hash of the pixels the screen shows in the captured corner of the view.
static size_t HashPicture(HDC hdcMem, HDC hdcScreen, POINT pt, int cx, int cy, const char *pBits)
{
    BitBlt(hdcMem, 0, 0, cx, cy, hdcScreen, pt.x, pt.y, SRCCOPY);
    GdiFlush();
    return std::hash<std::string_view>{}(std::string_view(pBits, (size_t)cx * cy * 4));
}

// While the program plays, the picture is read off the screen and nothing is asked of the program: a message sent
// to its thread wakes its message loop, and would hide a loop that does not come back to its idle step by itself.
// Playback is over when the picture has stood still for a second; only then is the trackbar read (TBM_GETPOS: the
// position in WM_HSCROLL is cut to 16 bits). The frame is drawn at the view's top-left corner; 256 x 256 pixels of
// it hold a small test clip whole.
static int FollowPlayback(HWND hwnd, POINT pt, int cx, int cy)
{
    HWND hwndTrackbar = FindWindowExA(hwnd, NULL, TRACKBAR_CLASSA, NULL);
    if (!hwndTrackbar)
        return Fail(2, "no trackbar");
    LONG lMax = (LONG)SendMessageA(hwndTrackbar, TBM_GETRANGEMAX, 0, 0);
    LONG lFrom = (LONG)SendMessageA(hwndTrackbar, TBM_GETPOS, 0, 0);
    BITMAPINFO bmi = {{sizeof(BITMAPINFOHEADER), cx, -cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void *pvBits = NULL;
    HDC hdcScreen = GetDC(NULL);
    HDC hdcMem = CreateCompatibleDC(hdcScreen);
    HBITMAP hbm = CreateDIBSection(hdcScreen, &bmi, DIB_RGB_COLORS, &pvBits, NULL, 0);
    BOOL fReady = hbm && SelectObject(hdcMem, hbm) && cx > 0 && cy > 0;
    size_t nLast = fReady ? HashPicture(hdcMem, hdcScreen, pt, cx, cy, (const char *)pvBits) : 0;
    std::set<size_t> pictures = {nLast};
    DWORD dwChanged = 0, dwPosted = GetTickCount();
    // 32788 is IDM_PLAY, the command the Play button and the menu item send.
    BOOL fPosted = fReady && PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(32788, 0), 0);
    for (DWORD dwNow = 0; fPosted && dwNow < 15000 && dwNow - dwChanged < 1000; dwNow = GetTickCount() - dwPosted) {
        Sleep(1);
        size_t nHash = HashPicture(hdcMem, hdcScreen, pt, cx, cy, (const char *)pvBits);
        if (nHash != nLast) {
            pictures.insert(nHash);
            nLast = nHash;
            dwChanged = GetTickCount() - dwPosted;
        }
    }
    DeleteDC(hdcMem); // the section goes with it out of the context
    DeleteObject(hbm);
    ReleaseDC(NULL, hdcScreen);
    if (!fPosted)
        return Fail(2, "no picture to watch, or Play not posted");
    LONG lAt = (LONG)SendMessageA(hwndTrackbar, TBM_GETPOS, 0, 0);
    long lReached = lAt == lMax ? (long)dwChanged : -1;
    printf("play frames=%ld from=%ld at=%ld reached_ms=%ld distinct=%d\n", lMax + 1, lFrom, lAt, lReached,
           (int)pictures.size());
    return lReached < 0 ? 3 : 0;
}

int main(int argc, char **argv)
{
    HWND hwnd = FindWindowA("PELTO", NULL);
    if (!hwnd)
        return Fail(1, "no window of class PELTO");
    std::string strMode = argc > 1 ? argv[1] : "";
    if (strMode == "close")
        return PostMessageA(hwnd, WM_CLOSE, 0, 0) ? 0 : Fail(2, "WM_CLOSE not posted");
    // The view is child 105; the frame is drawn at (0, 0) of its client area.
    HWND hwndView = GetDlgItem(hwnd, 105);
    RECT rc;
    POINT pt = {0, 0};
    if (!hwndView || !GetClientRect(hwndView, &rc) || !ClientToScreen(hwndView, &pt))
        return Fail(2, "no view");
    if (strMode == "play")
        return FollowPlayback(hwnd, pt, (int)std::min(rc.right, 256L), (int)std::min(rc.bottom, 256L));

    WINDOWINFO wi = {};
    wi.cbSize = sizeof wi;
    RECT rcBare = {0, 0, 0, 0};
    if (!GetMenu(hwnd) || !GetWindowInfo(hwnd, &wi) || !AdjustWindowRectEx(&rcBare, wi.dwStyle, FALSE, wi.dwExStyle))
        return Fail(2, "no menu");
    // Without a menu bar the client area would start -rcBare.top pixels below the window's top edge.
    LONG cyMenuBar = wi.rcClient.top - wi.rcWindow.top + rcBare.top;
    if (cyMenuBar <= 0)
        return Fail(2, "the menu bar takes no room");
    printf("menubar %ld %ld %ld %ld\n", wi.rcClient.left, wi.rcClient.top - cyMenuBar,
           wi.rcClient.right - wi.rcClient.left, cyMenuBar);
    printf("view %ld %ld %ld %ld\n", pt.x, pt.y, rc.right, rc.bottom);
    // Each toolbar in the rebar (child 106), by its control ID; its band's gripper is the strip left of it.
    HWND hwndRebar = GetDlgItem(hwnd, 106), hwndBar = NULL;
    while (hwndRebar && (hwndBar = FindWindowExA(hwndRebar, hwndBar, TOOLBARCLASSNAMEA, NULL)) != NULL) {
        RECT rcBar;
        GetWindowRect(hwndBar, &rcBar);
        printf("band %d %ld %ld %ld %ld\n", GetDlgCtrlID(hwndBar), rcBar.left, rcBar.top, rcBar.right - rcBar.left,
               rcBar.bottom - rcBar.top);
    }
    return 0;
}
