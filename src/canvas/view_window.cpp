// The view window and the canvas surfaces: the figure, the work surface where frame and figure are
// combined, the one-bit mask and the undo copy, all one frame in size, with the pen, eraser and brush.
// The same composition paints the view and the frames of a saved file.
#include "canvas/view_window.h"

#include "app/app_state.h"
#include "bars/trackbar.h"
#include "canvas/drawing_tools.h"
#include "canvas/text_tool.h"
#include "settings/registry.h"

#include <algorithm>

static HBITMAP hbmFigureOld, hbmWorkOld, hbmUndoOld, hbmMaskOld;
// The canvas size at the latest build of the surfaces, before a 0 was raised to 1.
static LONG cxPrevCanvas, cyPrevCanvas;
// The size the surfaces really have.
static LONG cxSurfaces, cySurfaces;

static void ReadDrawingSettings()
{
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lfText, &lfText);
    HKEY hkey = OpenSettingsKey();
    if (!hkey)
        return;
    crColor = ReadDword(hkey, "Color", 0);
    nPenWidth = (int)ReadDword(hkey, "PenWidth", 1);
    LOGFONTA lf;
    DWORD cb = sizeof lf;
    if (RegQueryValueExA(hkey, "Font", NULL, NULL, (BYTE *)&lf, &cb) == ERROR_SUCCESS && cb == sizeof lf)
        lfText = lf;
    RegCloseKey(hkey);
}

static HDC CreateSurface(HDC hdcLike, LONG cx, LONG cy, HBITMAP *phbm, HBITMAP *phbmOld)
{
    HDC hdc = CreateCompatibleDC(hdcLike);
    *phbm = CreateCompatibleBitmap(hdcLike, cx, cy);
    *phbmOld = (HBITMAP)SelectObject(hdc, *phbm);
    return hdc;
}

static void DeleteSurface(HDC *phdc, HBITMAP *phbm, HBITMAP *phbmOld)
{
    if (*phdc) {
        SelectObject(*phdc, *phbmOld);
        DeleteDC(*phdc);
    }
    if (*phbm)
        DeleteObject(*phbm);
    *phdc = NULL;
    *phbm = *phbmOld = NULL;
}

// The figure surface, compatible with the display, of the canvas size.
static HDC CreateFigureSurface(HBITMAP *phbm, HBITMAP *phbmOld)
{
    HDC hdcScreen = GetDC(NULL);
    HDC hdc = CreateSurface(hdcScreen, std::max(cxCanvas, 1L), std::max(cyCanvas, 1L), phbm, phbmOld);
    ReleaseDC(NULL, hdcScreen);
    return hdc;
}

void CreateCanvasSurfaces()
{
    cxPrevCanvas = cxCanvas;
    cyPrevCanvas = cyCanvas;
    cxCanvas = std::max(cxCanvas, 1L);
    cyCanvas = std::max(cyCanvas, 1L);
    cxSurfaces = cxCanvas;
    cySurfaces = cyCanvas;
    hdcWork = CreateSurface(hdcFigure, cxCanvas, cyCanvas, &hbmWork, &hbmWorkOld);
    hdcUndo = CreateSurface(hdcFigure, cxCanvas, cyCanvas, &hbmUndo, &hbmUndoOld);
    hBrush = CreateSolidBrush(crColor);
    hPen = CreatePen(PS_SOLID, nPenWidth, crColor);
    hPenEraser = CreatePen(PS_SOLID, 10, RGB(255, 255, 255));
    hdcMask = CreateCompatibleDC(hdcFigure);
    hbmMask = CreateBitmap(cxCanvas, cyCanvas, 1, 1, NULL);
    hbmMaskOld = (HBITMAP)SelectObject(hdcMask, hbmMask);
    RECT rc = {0, 0, cxCanvas, cyCanvas};
    FillRect(hdcMask, &rc, (HBRUSH)GetStockObject(WHITE_BRUSH));
}

void DestroyCanvasSurfaces()
{
    if (hBrushOld) {
        SelectObject(hdcFigure, hBrushOld);
        hBrushOld = NULL;
    }
    for (HGDIOBJ *phobj : {(HGDIOBJ *)&hBrush, (HGDIOBJ *)&hPen, (HGDIOBJ *)&hPenEraser}) {
        if (*phobj)
            DeleteObject(*phobj);
        *phobj = NULL;
    }
    DeleteSurface(&hdcUndo, &hbmUndo, &hbmUndoOld);
    DeleteSurface(&hdcWork, &hbmWork, &hbmWorkOld);
    DeleteSurface(&hdcMask, &hbmMask, &hbmMaskOld);
}

static void SelectToolPen()
{
    hPenOld = (HPEN)SelectObject(hdcFigure, hPen);
    SetBkMode(hdcFigure, TRANSPARENT);
}

static void OnCreate()
{
    RECT rc = {0, 0, cxCanvas, cyCanvas};
    ReadDrawingSettings();
    hdcFigure = CreateFigureSurface(&hbmFigure, &hbmFigureOld);
    CreateCanvasSurfaces();
    SelectToolPen();
    FillRect(hdcFigure, &rc, (HBRUSH)GetStockObject(WHITE_BRUSH));
}

static void OnDestroy()
{
    SelectObject(hdcFigure, hPenOld);
    hPenOld = NULL;
    DestroyCanvasSurfaces();
    DeleteSurface(&hdcFigure, &hbmFigure, &hbmFigureOld);
}

// Builds every surface anew at the canvas size and carries the figure over, rescaled when the canvas
// size changed. The undo copy is dropped.
static void RebuildSurfaces()
{
    HBITMAP hbmNew, hbmNewOld;
    HDC hdcNew = CreateFigureSurface(&hbmNew, &hbmNewOld);
    StretchBlt(hdcNew, 0, 0, std::max(cxCanvas, 1L), std::max(cyCanvas, 1L), hdcFigure, 0, 0,
               std::max(cxPrevCanvas, 1L), std::max(cyPrevCanvas, 1L), SRCCOPY);

    SelectObject(hdcFigure, hPenOld);
    DestroyCanvasSurfaces();
    hPenOld = NULL;
    DeleteSurface(&hdcFigure, &hbmFigure, &hbmFigureOld);

    hdcFigure = hdcNew;
    hbmFigure = hbmNew;
    hbmFigureOld = hbmNewOld;
    CreateCanvasSurfaces();
    SelectToolPen();
    fCanUndo = 0;
}

void SyncCanvasSize()
{
    if (std::max(cxCanvas, 1L) != cxSurfaces || std::max(cyCanvas, 1L) != cySurfaces)
        RebuildSurfaces();
}

void ReplaceDrawingObjects(BOOL fNewBrush)
{
    if (fNewBrush && hBrushOld) {
        SelectObject(hdcFigure, hBrushOld);
        hBrushOld = NULL;
    }
    SelectObject(hdcFigure, hPenOld);
    hPenOld = NULL;
    if (fNewBrush) {
        DeleteObject(hBrush);
        hBrush = CreateSolidBrush(crColor);
    }
    DeleteObject(hPen);
    hPen = CreatePen(PS_SOLID, nPenWidth, crColor);
    hPenOld = (HPEN)SelectObject(hdcFigure, hPen);
}

void DrawFrameToWork(const BITMAPINFOHEADER *pbih)
{
    DrawDibBegin(hddVideo, hdcWork, cxCanvas, cyCanvas, (LPBITMAPINFOHEADER)pbih, cxFrame, cyFrame, 0);
    if (DrawDibDraw(hddVideo, hdcWork, 0, 0, cxCanvas, cyCanvas, (LPBITMAPINFOHEADER)pbih, NULL, 0, 0, cxFrame,
                    cyFrame, 0))
        return;
    // DrawDib refuses frames stored top-down (as raw RGB from other programs often is): the DIB blit
    // draws them upright at the same place and size.
    DWORD cColors = pbih->biClrUsed;
    if (cColors == 0 && pbih->biBitCount <= 8)
        cColors = 1u << pbih->biBitCount;
    if (pbih->biCompression == BI_BITFIELDS)
        cColors = 3;
    const BYTE *pbBits = (const BYTE *)pbih + pbih->biSize + cColors * sizeof(RGBQUAD);
    StretchDIBits(hdcWork, 0, 0, cxCanvas, cyCanvas, 0, 0, cxFrame, cyFrame, pbBits, (const BITMAPINFO *)pbih,
                  DIB_RGB_COLORS, SRCCOPY);
}

void OverlayFigure()
{
    BitBlt(hdcMask, 0, 0, cxCanvas, cyCanvas, hdcFigure, 0, 0, SRCCOPY);
    BitBlt(hdcWork, 0, 0, cxCanvas, cyCanvas, hdcFigure, 0, 0, SRCINVERT);
    BitBlt(hdcWork, 0, 0, cxCanvas, cyCanvas, hdcMask, 0, 0, SRCAND);
    BitBlt(hdcWork, 0, 0, cxCanvas, cyCanvas, hdcFigure, 0, 0, SRCINVERT);
}

BOOL ReadWorkPixels(void *pvBits, const BITMAPINFOHEADER *pbih)
{
    BITMAPINFO bmi = {};
    bmi.bmiHeader = *pbih;
    // The bitmap is read while no context holds it.
    SelectObject(hdcWork, hbmWorkOld);
    int cLines = GetDIBits(hdcWork, hbmWork, 0, (UINT)cyCanvas, pvBits, &bmi, DIB_RGB_COLORS);
    SelectObject(hdcWork, hbmWork);
    return cLines == cyCanvas;
}

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
}

void RepaintView()
{
    InvalidateRect(hwndView, NULL, FALSE);
    UpdateWindow(hwndView);
}

static void OnPaint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    if (hdc)
        PaintView(hdc);
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK ViewWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_SIZE:
        RebuildSurfaces();
        return 0;
    case WM_PAINT:
        OnPaint(hwnd);
        return 0;
    case WM_SETCURSOR:
        OnViewSetCursor(wParam, lParam);
        return 0;
    case WM_MOUSEMOVE:
        OnViewMouseMove(wParam, lParam);
        return 0;
    case WM_LBUTTONDOWN:
        OnViewMouseDown(wParam, lParam);
        return 0;
    case WM_LBUTTONUP:
        OnViewMouseUp(wParam, lParam);
        return 0;
    case WM_CAPTURECHANGED:
        OnViewCaptureLost();
        return 0;
    }
    return DefWindowProcA(hwnd, uMsg, wParam, lParam);
}
