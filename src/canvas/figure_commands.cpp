// The figure as a whole: one level of undo, cut, copy and paste as one clipboard bitmap (white stays
// see-through when pasted), and the pen width and colour with their stored settings. A clipboard that
// cannot be had is refused with a beep, and a cut then keeps the figure.
#include "canvas/figure_commands.h"

#include "app/app_state.h"
#include "app/command_state.h"
#include "app/title.h"
#include "canvas/canvas_surfaces.h"
#include "canvas/text_tool.h"
#include "canvas/view_window.h"
#include "resources/resource.h"
#include "settings/drawing_settings.h"

#include <commdlg.h>

#include <algorithm>

void MarkFigureModified()
{
    if (fModified != 1) {
        fModified = 1;
        UpdateTitle();
    }
}

void ClearFigure()
{
    fCanUndo = 0;
    if (hdcFigure) {
        RECT rc = {0, 0, cxCanvas, cyCanvas};
        FillRect(hdcFigure, &rc, (HBRUSH)GetStockObject(WHITE_BRUSH));
    }
    RepaintView();
}

void UndoFigure()
{
    if (!fCanUndo)
        return;
    BitBlt(hdcFigure, 0, 0, cxFrame, cyFrame, hdcUndo, 0, 0, SRCCOPY);
    fCanUndo = 0;
    UpdateCommandUI();
    RepaintView();
}

// A copy of the figure in a bitmap of its own; null when it cannot be made.
static HBITMAP CopyFigureBitmap()
{
    HBITMAP hbm = CreateCompatibleBitmap(hdcFigure, cxCanvas, cyCanvas);
    HDC hdc = hbm ? CreateCompatibleDC(hdcFigure) : NULL;
    if (!hdc) {
        if (hbm)
            DeleteObject(hbm);
        return NULL;
    }
    HGDIOBJ hbmOld = SelectObject(hdc, hbm);
    BitBlt(hdc, 0, 0, cxCanvas, cyCanvas, hdcFigure, 0, 0, SRCCOPY);
    SelectObject(hdc, hbmOld);
    DeleteDC(hdc);
    return hbm;
}

BOOL CopyFigure()
{
    HBITMAP hbm = CopyFigureBitmap();
    BOOL fCopied = hbm && OpenClipboard(hwndMain);
    if (fCopied) {
        fCopied = EmptyClipboard() && SetClipboardData(CF_BITMAP, hbm);
        CloseClipboard();
    }
    // The clipboard owns the bitmap only once it took it.
    if (!fCopied) {
        if (hbm)
            DeleteObject(hbm);
        MessageBeep(0);
    }
    return fCopied;
}

void CutFigure()
{
    if (!CopyFigure())
        return;
    ClearFigure();
    UpdateCommandUI();
}

// Merges a bitmap into the figure from the top-left corner; what lies beyond the canvas is clipped.
static void MergeIntoFigure(HBITMAP hbm)
{
    BITMAP bm = {};
    HDC hdc = hbm && GetObjectA(hbm, sizeof bm, &bm) ? CreateCompatibleDC(hdcFigure) : NULL;
    if (!hdc)
        return;
    HGDIOBJ hbmOld = SelectObject(hdc, hbm);
    BitBlt(hdcFigure, 0, 0, std::min((LONG)bm.bmWidth, cxCanvas), std::min((LONG)bm.bmHeight, cyCanvas), hdc, 0, 0,
           SRCAND);
    SelectObject(hdc, hbmOld);
    DeleteDC(hdc);
}

void PasteFigure()
{
    if (!OpenClipboard(hwndMain)) {
        MessageBeep(0);
        return;
    }
    fCanUndo = 0;
    MergeIntoFigure((HBITMAP)GetClipboardData(CF_BITMAP));
    CloseClipboard();
    RepaintView();
    MarkFigureModified();
    UpdateCommandUI();
}

void ChoosePenWidth()
{
    if (DialogBoxParamA(hInst, MAKEINTRESOURCEA(IDD_PENWIDTH), hwndMain, PenWidthDlgProc, 0) != IDOK)
        return;
    ReplaceDrawingObjects(FALSE);
    StorePenWidth();
}

void ChooseDrawingColor()
{
    CHOOSECOLORA cc = {};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = hwndMain;
    cc.rgbResult = crColor;
    cc.lpCustColors = acrCustColors;
    cc.Flags = CC_RGBINIT;
    if (!ChooseColorA(&cc))
        return;
    crColor = cc.rgbResult;
    ReplaceDrawingObjects(TRUE);
    StoreColor();
}
