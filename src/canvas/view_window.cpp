// The view window: it paints the frame under the position with the figure laid over it, at 1:1, and hands the
// mouse to the drawing tools. Its creation reads the drawing settings and builds the canvas.
#include "canvas/view_window.h"

#include "app/app_state.h"
#include "app/long_work.h"
#include "bars/status_bar.h"
#include "bars/trackbar.h"
#include "canvas/canvas_surfaces.h"
#include "canvas/drawing_tools.h"
#include "settings/drawing_settings.h"

static BOOL IsVideoStream(PAVISTREAM pavis)
{
    AVISTREAMINFOA si = {};
    return AVIStreamInfoA(pavis, &si, sizeof si) == 0 && si.fccType == streamtypeVIDEO;
}

// The frame for the position; times past the end of the video (longer sound) count on past its frames.
static LONG GetFrameOfTime(LONG t)
{
    if (t > lVideoEndTime)
        return AVIStreamTimeToSample(pavisVideo, t - lVideoEndTime) + lFrameCount;
    return AVIStreamTimeToSample(pavisVideo, t);
}

void PaintView(HDC hdc)
{
    if (!pavisVideo || !IsVideoStream(pavisVideo))
        return;
    lCurFrame = GetFrameOfTime(lCurTime);
    const BITMAPINFOHEADER *pbih = NULL;
    if (pgfVideo && lCurFrame >= AVIStreamStart(pavisVideo) && lCurFrame < lFrameCount)
        pbih = (const BITMAPINFOHEADER *)AVIStreamGetFrame(pgfVideo, lCurFrame);
    if (pbih) {
        DrawFrameToWork(pbih);
        OverlayFigure();
        BitBlt(hdc, 0, 0, cxCanvas, cyCanvas, hdcWork, 0, 0, SRCCOPY);
    } else {
        HGDIOBJ hbrOld = SelectObject(hdc, GetStockObject(DKGRAY_BRUSH));
        PatBlt(hdc, 0, 0, cxCanvas, cyCanvas, PATCOPY);
        SelectObject(hdc, hbrOld);
    }
    SyncTrackbar();
    UpdateStatusPanes();
}

void RepaintView()
{
    InvalidateRect(hwndView, NULL, FALSE);
    UpdateWindow(hwndView);
}

// The frame timer's repaint, sent from its own thread, can arrive after the queue's WM_PAINT for the same
// invalidation has drawn the frame: with nothing left to paint, the frame is not decoded a second time.
// The view has no background brush, so that a frame is never erased before it is drawn: what lies outside the
// frame (all of the view while no file is open) is filled here, or a bar that moved would leave its picture.
static void OnPaint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    if (hdc && !IsRectEmpty(&ps.rcPaint)) {
        PaintView(hdc);
        if (pavisVideo)
            ExcludeClipRect(hdc, 0, 0, cxCanvas, cyCanvas);
        FillRect(hdc, &ps.rcPaint, GetSysColorBrush(COLOR_APPWORKSPACE));
    }
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK ViewWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_CREATE: ReadDrawingSettings(); return RebuildCanvas() ? 0 : -1;
    case WM_DESTROY: DestroyCanvas(); return 0;
    case WM_SIZE: RebuildCanvas(); return 0;
    case WM_PAINT: OnPaint(hwnd); return 0;
    case WM_SETCURSOR:
        // Long work keeps the hourglass while the mouse moves over the picture.
        if (IsLongWorkRunning()) {
            SetCursor(LoadCursor(NULL, IDC_WAIT));
            return TRUE;
        }
        OnViewSetCursor(wParam, lParam);
        return 0;
    case WM_MOUSEMOVE: OnViewMouseMove(wParam, lParam); return 0;
    case WM_LBUTTONDOWN: OnViewMouseDown(wParam, lParam); return 0;
    case WM_LBUTTONUP: OnViewMouseUp(wParam, lParam); return 0;
    case WM_CAPTURECHANGED: OnViewCaptureLost(); return 0;
    }
    return DefWindowProcA(hwnd, uMsg, wParam, lParam);
}
