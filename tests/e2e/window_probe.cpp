// Looks at Pelto's main window from another process, for the black-box runs. Wine keeps a menu's items in the
// process that owns the menu, so from outside only the menu handle and the room the bar takes are to be had: the
// probe prints that room as "menubar X Y WIDTH HEIGHT" in screen pixels, then the view's client area as
// "view X Y WIDTH HEIGHT", also in screen pixels, where a test aims the mouse to draw. With the argument "close"
// it posts WM_CLOSE instead. The main window is found by its class alone: its title changes with the open file.
// Exit code 0 when done, 1 when there is no main window, 2 when it has no menu bar or view, or the message was
// not posted.
#include <windows.h>

#include <cstdio>
#include <cstring>

static int PrintMenuBarRect(HWND hwnd)
{
    WINDOWINFO wi = {};
    wi.cbSize = sizeof wi;
    RECT rcBare = {0, 0, 0, 0};
    if (!GetMenu(hwnd) || !GetWindowInfo(hwnd, &wi) || !AdjustWindowRectEx(&rcBare, wi.dwStyle, FALSE, wi.dwExStyle)) {
        fputs("window_probe: no menu\n", stderr);
        return 2;
    }
    // Without a menu bar the client area would start -rcBare.top pixels below the window's top edge.
    LONG cyMenuBar = wi.rcClient.top - wi.rcWindow.top + rcBare.top;
    if (cyMenuBar <= 0) {
        fputs("window_probe: the menu bar takes no room\n", stderr);
        return 2;
    }
    printf("menubar %ld %ld %ld %ld\n", wi.rcClient.left, wi.rcClient.top - cyMenuBar,
           wi.rcClient.right - wi.rcClient.left, cyMenuBar);
    return 0;
}

// The view is child 105 of the main window; its client area, where the frame is drawn at (0, 0), on screen.
static int PrintViewRect(HWND hwnd)
{
    HWND hwndView = GetDlgItem(hwnd, 105);
    RECT rc;
    POINT pt = {0, 0};
    if (!hwndView || !GetClientRect(hwndView, &rc) || !ClientToScreen(hwndView, &pt)) {
        fputs("window_probe: no view\n", stderr);
        return 2;
    }
    printf("view %ld %ld %ld %ld\n", pt.x, pt.y, rc.right, rc.bottom);
    return 0;
}

static int PostCloseMessage(HWND hwnd)
{
    if (!PostMessageA(hwnd, WM_CLOSE, 0, 0)) {
        fputs("window_probe: WM_CLOSE not posted\n", stderr);
        return 2;
    }
    return 0;
}

int main(int argc, char **argv)
{
    HWND hwnd = FindWindowA("PELTO", NULL);
    if (!hwnd) {
        fputs("window_probe: no window of class PELTO\n", stderr);
        return 1;
    }
    if (argc > 1 && strcmp(argv[1], "close") == 0)
        return PostCloseMessage(hwnd);
    int rc = PrintMenuBarRect(hwnd);
    return rc ? rc : PrintViewRect(hwnd);
}
