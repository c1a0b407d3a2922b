// The position trackbar. Its range is 0 .. lFrameCount - 1, set with the full-value messages so that
// every frame maps exactly, also past 65,536 frames; a video of no frames shows an empty slider.
#include "bars/trackbar.h"

#include "app/app_state.h"

#include <commctrl.h>

void CreateTrackbar()
{
    hwndTrackbar =
        CreateWindowExA(WS_EX_TOOLWINDOW, TRACKBAR_CLASSA, NULL, WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_BORDER, 0, 0,
                        100, 32, hwndMain, NULL, hInst, NULL);
}

void ResetTrackbar()
{
    if (!pavisVideo)
        return;
    EnableWindow(hwndTrackbar, TRUE);
    SetFocus(hwndTrackbar);
    SendMessage(hwndTrackbar, TBM_CLEARTICS, TRUE, 0);
    SendMessage(hwndTrackbar, TBM_SETRANGEMIN, FALSE, 0);
    SendMessage(hwndTrackbar, TBM_SETRANGEMAX, TRUE, lFrameCount > 0 ? lFrameCount - 1 : 0);
    SendMessage(hwndTrackbar, TBM_SETPOS, TRUE, 0);
    nFigureStart = 0;
    nFigureEnd = lFrameCount - 1;
}

void SyncTrackbar()
{
    if (pavisVideo && lFrameCount != 0)
        SendMessage(hwndTrackbar, TBM_SETPOS, TRUE, lCurFrame);
}

void UpdateFigureTicks()
{
    if (!pavisVideo || lFrameCount == 0)
        return;
    SendMessage(hwndTrackbar, TBM_CLEARTICS, TRUE, 0);
    if (nFigureStart != -1)
        SendMessage(hwndTrackbar, TBM_SETTIC, 0, nFigureStart);
    if (nFigureEnd != -1)
        SendMessage(hwndTrackbar, TBM_SETTIC, 0, nFigureEnd);
}

void OnTrackbarScroll(UINT uCode, HWND hwndFrom)
{
    if (hwndFrom != hwndTrackbar || uCode > TB_BOTTOM || !pavisVideo || lFrameCount <= 0)
        return;
    LONG lPos = (LONG)SendMessage(hwndTrackbar, TBM_GETPOS, 0, 0);
    LONG lMax = (LONG)SendMessage(hwndTrackbar, TBM_GETRANGEMAX, 0, 0);
    LONG lFrame = (LONG)((LONGLONG)lFrameCount * lPos / ((LONGLONG)lMax + 1));
    lCurTime = AVIStreamSampleToTime(pavisVideo, lFrame) + 1;
    InvalidateRect(hwndView, NULL, FALSE);
    UpdateWindow(hwndView);
}
