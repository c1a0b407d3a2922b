// The figure as a whole: one level of undo, cut, copy and paste as one clipboard bitmap (white stays
// see-through when pasted), and the pen width and colour with their stored settings.
#include "canvas/figure_commands.h"

#include "app/app_state.h"
#include "app/command_state.h"
#include "app/title.h"
#include "canvas/text_tool.h"
#include "canvas/view_window.h"
#include "document/file_commands.h"
#include "resources/resource.h"
#include "settings/registry.h"

#include <commdlg.h>

#include <algorithm>

void UndoFigure()
{
    if (!fCanUndo)
        return;
    BitBlt(hdcFigure, 0, 0, cxFrame, cyFrame, hdcUndo, 0, 0, SRCCOPY);
    fCanUndo = 0;
    UpdateCommandUI();
    RepaintView();
}

void CopyFigure()
{
    OpenClipboard(hwndMain);
    EmptyClipboard();
    HBITMAP hbm = CreateCompatibleBitmap(hdcFigure, cxCanvas, cyCanvas);
    HDC hdc = CreateCompatibleDC(hdcFigure);
    HGDIOBJ hbmOld = SelectObject(hdc, hbm);
    RECT rc = {0, 0, cxCanvas, cyCanvas};
    FillRect(hdc, &rc, (HBRUSH)GetStockObject(WHITE_BRUSH));
    BitBlt(hdc, 0, 0, cxCanvas, cyCanvas, hdcFigure, 0, 0, SRCAND);
    SelectObject(hdc, hbmOld);
    DeleteDC(hdc);
    SetClipboardData(CF_BITMAP, hbm);
    CloseClipboard();
}

void CutFigure()
{
    CopyFigure();
    ClearFigure();
    UpdateCommandUI();
}

// Merges a bitmap into the figure from the top-left corner; what lies beyond the canvas is clipped.
static void MergeIntoFigure(HBITMAP hbm)
{
    BITMAP bm = {};
    if (!hbm || !GetObjectA(hbm, sizeof bm, &bm))
        return;
    HDC hdc = CreateCompatibleDC(hdcFigure);
    HGDIOBJ hbmOld = SelectObject(hdc, hbm);
    BitBlt(hdcFigure, 0, 0, std::min((LONG)bm.bmWidth, cxCanvas), std::min((LONG)bm.bmHeight, cyCanvas), hdc, 0, 0,
           SRCAND);
    SelectObject(hdc, hbmOld);
    DeleteDC(hdc);
}

void PasteFigure()
{
    fCanUndo = 0;
    OpenClipboard(hwndMain);
    MergeIntoFigure((HBITMAP)GetClipboardData(CF_BITMAP));
    CloseClipboard();
    RepaintView();
    if (fModified != 1) {
        fModified = 1;
        UpdateTitle();
    }
    UpdateCommandUI();
}

static void StoreSetting(const char *pszName, DWORD dwValue)
{
    HKEY hkey = OpenSettingsKey();
    if (!hkey)
        return;
    WriteDword(hkey, pszName, dwValue);
    RegCloseKey(hkey);
}

void ChoosePenWidth()
{
    if (DialogBoxParamA(hInst, MAKEINTRESOURCEA(IDD_PENWIDTH), hwndMain, PenWidthDlgProc, 0) != IDOK)
        return;
    ReplaceDrawingObjects(FALSE);
    StoreSetting("PenWidth", (DWORD)nPenWidth);
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
    StoreSetting("Color", crColor);
}
