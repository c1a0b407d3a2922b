// Looks at Pelto's main window (found by its class: its title changes with the open file) from another process,
// for the black-box runs. Wine keeps a menu's items in the process that owns the menu, so from outside only the
// room the bar takes is to be had. Prints "menubar X Y WIDTH HEIGHT" and the view's client area as
// "view X Y WIDTH HEIGHT", both in screen pixels; with the argument "close" it posts WM_CLOSE instead.
// Exit code 0 when done, 1 without a main window, 2 when it has no menu bar or view or the message was not posted.
#include <windows.h>

#include <cstdio>
#include <cstring>

static int Fail(int nExitCode, const char *pszWhat)
{
    fprintf(stderr, "window_probe: %s\n", pszWhat);
    return nExitCode;
}

int main(int argc, char **argv)
{
    HWND hwnd = FindWindowA("PELTO", NULL);
    if (!hwnd)
        return Fail(1, "no window of class PELTO");
    if (argc > 1 && strcmp(argv[1], "close") == 0)
        return PostMessageA(hwnd, WM_CLOSE, 0, 0) ? 0 : Fail(2, "WM_CLOSE not posted");

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

    // The view is child 105; the frame is drawn at (0, 0) of its client area.
    HWND hwndView = GetDlgItem(hwnd, 105);
    RECT rc;
    POINT pt = {0, 0};
    if (!hwndView || !GetClientRect(hwndView, &rc) || !ClientToScreen(hwndView, &pt))
        return Fail(2, "no view");
    printf("view %ld %ld %ld %ld\n", pt.x, pt.y, rc.right, rc.bottom);
    return 0;
}
