// The view window. Its class has no background brush: the view erases nothing and paints
// only what it draws itself, so an empty document leaves the client area as it is.
#include "canvas/view_window.h"

static void OnPaint(HWND hwnd)
{
    PAINTSTRUCT ps;
    BeginPaint(hwnd, &ps);
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK ViewWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_PAINT:
        OnPaint(hwnd);
        return 0;
    }
    return DefWindowProcA(hwnd, uMsg, wParam, lParam);
}
