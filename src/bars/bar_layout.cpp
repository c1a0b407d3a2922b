#include "bars/bar_layout.h"

#include "app/app_state.h"

int GetWindowHeight(HWND hwnd)
{
    RECT rc;
    if (!hwnd || !GetWindowRect(hwnd, &rc))
        return 0;
    return rc.bottom - rc.top;
}

int GetBarsHeight()
{
    return GetWindowHeight(hwndRebar) + GetWindowHeight(hwndTrackbar) + GetWindowHeight(hwndToolbarPlay) +
           GetWindowHeight(hwndStatus);
}
