// The canvas surfaces and the tools' drawing objects. This unit owns every selection into the figure: between
// drawings it holds the tool pen and the brush it was made with; whatever a drawing selects goes back before
// the drawing returns, and nothing is deleted while it is selected. The same composition paints the view and
// the frames of a saved file.
#include "canvas/canvas_surfaces.h"

#include "app/app_state.h"

#include <algorithm>

static HBITMAP hbmFigureOld, hbmWorkOld, hbmUndoOld, hbmMaskOld;
static HGDIOBJ hpenFigureOwn, hbrFigureOwn; // what the figure's context held when it was made
static LONG cxSurfaces, cySurfaces;         // the size the surfaces have; 0 while there are none

// A memory context like hdcLike holding a new bitmap of cx × cy, one bit deep with fMono. FALSE, with nothing
// left made, when either cannot be had.
static BOOL CreateSurface(HDC hdcLike, LONG cx, LONG cy, BOOL fMono, HDC *phdc, HBITMAP *phbm, HBITMAP *phbmOld)
{
    *phdc = CreateCompatibleDC(hdcLike);
    *phbm = fMono ? CreateBitmap(cx, cy, 1, 1, NULL) : CreateCompatibleBitmap(hdcLike, cx, cy);
    if (*phdc && *phbm) {
        *phbmOld = (HBITMAP)SelectObject(*phdc, *phbm);
        return TRUE;
    }
    if (*phdc)
        DeleteDC(*phdc);
    if (*phbm)
        DeleteObject(*phbm);
    *phdc = NULL;
    *phbm = NULL;
    return FALSE;
}

static void DeleteSurface(HDC *phdc, HBITMAP *phbm, HBITMAP *phbmOld)
{
    if (*phdc) {
        SelectObject(*phdc, *phbmOld);
        DeleteDC(*phdc);
        DeleteObject(*phbm);
    }
    *phdc = NULL;
    *phbm = *phbmOld = NULL;
}

// The figure surface, compatible with the display.
static BOOL CreateFigureSurface(LONG cx, LONG cy, HDC *phdc, HBITMAP *phbm, HBITMAP *phbmOld)
{
    HDC hdcScreen = GetDC(NULL);
    if (!hdcScreen)
        return FALSE;
    BOOL fMade = CreateSurface(hdcScreen, cx, cy, FALSE, phdc, phbm, phbmOld);
    ReleaseDC(NULL, hdcScreen);
    return fMade;
}

// Everything but the figure, at the figure's size; the tool pen goes into the figure.
static BOOL CreateToolSurfaces()
{
    LONG cx = cxSurfaces, cy = cySurfaces;
    if (!CreateSurface(hdcFigure, cx, cy, FALSE, &hdcWork, &hbmWork, &hbmWorkOld) ||
        !CreateSurface(hdcFigure, cx, cy, FALSE, &hdcUndo, &hbmUndo, &hbmUndoOld) ||
        !CreateSurface(hdcFigure, cx, cy, TRUE, &hdcMask, &hbmMask, &hbmMaskOld))
        return FALSE;
    hBrush = CreateSolidBrush(crColor);
    hPen = CreatePen(PS_SOLID, nPenWidth, crColor);
    hPenEraser = CreatePen(PS_SOLID, 10, RGB(255, 255, 255));
    if (!hBrush || !hPen || !hPenEraser)
        return FALSE;
    RECT rc = {0, 0, cx, cy};
    FillRect(hdcMask, &rc, (HBRUSH)GetStockObject(WHITE_BRUSH));
    hpenFigureOwn = SelectObject(hdcFigure, hPen);
    hbrFigureOwn = GetCurrentObject(hdcFigure, OBJ_BRUSH);
    SetBkMode(hdcFigure, TRANSPARENT);
    return TRUE;
}

void DestroyCanvas()
{
    if (hdcFigure && hpenFigureOwn) {
        SelectObject(hdcFigure, hpenFigureOwn);
        SelectObject(hdcFigure, hbrFigureOwn);
    }
    hpenFigureOwn = hbrFigureOwn = NULL;
    for (HGDIOBJ *phobj : {(HGDIOBJ *)&hBrush, (HGDIOBJ *)&hPen, (HGDIOBJ *)&hPenEraser}) {
        if (*phobj)
            DeleteObject(*phobj);
        *phobj = NULL;
    }
    DeleteSurface(&hdcUndo, &hbmUndo, &hbmUndoOld);
    DeleteSurface(&hdcWork, &hbmWork, &hbmWorkOld);
    DeleteSurface(&hdcMask, &hbmMask, &hbmMaskOld);
    DeleteSurface(&hdcFigure, &hbmFigure, &hbmFigureOld);
    cxSurfaces = cySurfaces = 0;
}

BOOL RebuildCanvas()
{
    cxCanvas = std::max(cxCanvas, 1L);
    cyCanvas = std::max(cyCanvas, 1L);
    HDC hdcNew = NULL;
    HBITMAP hbmNew = NULL, hbmNewOld = NULL;
    if (cxCanvas <= MAX_CANVAS_SIDE && cyCanvas <= MAX_CANVAS_SIDE &&
        CreateFigureSurface(cxCanvas, cyCanvas, &hdcNew, &hbmNew, &hbmNewOld)) {
        RECT rc = {0, 0, cxCanvas, cyCanvas};
        FillRect(hdcNew, &rc, (HBRUSH)GetStockObject(WHITE_BRUSH));
        if (hdcFigure)
            StretchBlt(hdcNew, 0, 0, cxCanvas, cyCanvas, hdcFigure, 0, 0, cxSurfaces, cySurfaces, SRCCOPY);
    }
    DestroyCanvas();
    fCanUndo = 0;
    if (!hdcNew)
        return FALSE;
    hdcFigure = hdcNew;
    hbmFigure = hbmNew;
    hbmFigureOld = hbmNewOld;
    cxSurfaces = cxCanvas;
    cySurfaces = cyCanvas;
    if (CreateToolSurfaces())
        return TRUE;
    DestroyCanvas();
    return FALSE;
}

BOOL SyncCanvasSize()
{
    if (hdcFigure && std::max(cxCanvas, 1L) == cxSurfaces && std::max(cyCanvas, 1L) == cySurfaces)
        return TRUE;
    return RebuildCanvas();
}

void SelectFigureObjects(HGDIOBJ hpen, HGDIOBJ hbr)
{
    SelectObject(hdcFigure, hpen);
    SelectObject(hdcFigure, hbr);
}

void RestoreFigureObjects()
{
    SelectFigureObjects(hPen, hbrFigureOwn);
}

void ReplaceDrawingObjects(BOOL fNewBrush)
{
    // The new objects are made first: when one cannot be had, the tools keep drawing with the old ones.
    HPEN hpenNew = CreatePen(PS_SOLID, nPenWidth, crColor);
    HBRUSH hbrNew = fNewBrush ? CreateSolidBrush(crColor) : NULL;
    if (!hpenNew || (fNewBrush && !hbrNew)) {
        for (HGDIOBJ hobj : {(HGDIOBJ)hpenNew, (HGDIOBJ)hbrNew})
            if (hobj)
                DeleteObject(hobj);
        return;
    }
    SelectFigureObjects(hpenFigureOwn, hbrFigureOwn);
    DeleteObject(hPen);
    hPen = hpenNew;
    if (fNewBrush) {
        DeleteObject(hBrush);
        hBrush = hbrNew;
    }
    RestoreFigureObjects();
}

void DrawFrameToWork(const BITMAPINFOHEADER *pbih)
{
    DrawDibBegin(hddVideo, hdcWork, cxCanvas, cyCanvas, (LPBITMAPINFOHEADER)pbih, cxFrame, cyFrame, 0);
    if (DrawDibDraw(hddVideo, hdcWork, 0, 0, cxCanvas, cyCanvas, (LPBITMAPINFOHEADER)pbih, NULL, 0, 0, cxFrame, cyFrame,
                    0))
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

static BOOL ReadSurfacePixels(HDC hdc, HBITMAP hbm, HBITMAP hbmOld, void *pvBits, const BITMAPINFOHEADER *pbih)
{
    BITMAPINFO bmi = {};
    bmi.bmiHeader = *pbih;
    // The bitmap is read while no context holds it.
    SelectObject(hdc, hbmOld);
    int cLines = GetDIBits(hdc, hbm, 0, (UINT)pbih->biHeight, pvBits, &bmi, DIB_RGB_COLORS);
    SelectObject(hdc, hbm);
    return cLines == pbih->biHeight;
}

BOOL ReadWorkPixels(void *pvBits, const BITMAPINFOHEADER *pbih)
{
    return ReadSurfacePixels(hdcWork, hbmWork, hbmWorkOld, pvBits, pbih);
}

BOOL ReadFigurePixels(void *pvBits, const BITMAPINFOHEADER *pbih)
{
    return ReadSurfacePixels(hdcFigure, hbmFigure, hbmFigureOld, pvBits, pbih);
}

BOOL HoldsTrueColour()
{
    BITMAP bm = {};
    return hbmWork && GetObject(hbmWork, sizeof bm, &bm) == sizeof bm && bm.bmBitsPixel >= 24;
}
