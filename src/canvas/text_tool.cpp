// The text tool places one line of text into the figure in crColor, in the font last chosen, which is
// remembered in "Font". The pen width dialog sets nPenWidth from 1 to 10.
#include "canvas/text_tool.h"

#include "app/app_state.h"
#include "resources/resource.h"
#include "settings/drawing_settings.h"

#include <commctrl.h>
#include <commdlg.h>

BOOL PlaceText(int x, int y)
{
    if (DialogBoxParamA(hInst, MAKEINTRESOURCEA(IDD_TEXT), hwndView, TextDlgProc, 0) != IDOK)
        return FALSE;
    // Smoothed glyph edges would blend the colour with the figure's white into pixels that are no longer
    // transparent: a pale fringe around the text over every frame.
    LOGFONTA lf = lfText;
    lf.lfQuality = NONANTIALIASED_QUALITY;
    HFONT hfont = CreateFontIndirectA(&lf);
    if (!hfont)
        return FALSE;
    StoreTextFont();
    HGDIOBJ hfontOld = SelectObject(hdcFigure, hfont);
    SetTextColor(hdcFigure, crColor);
    ExtTextOutA(hdcFigure, x, y, 0, NULL, szText, lstrlenA(szText), NULL);
    SelectObject(hdcFigure, hfontOld);
    DeleteObject(hfont);
    return TRUE;
}

static void ChooseTextFont(HWND hdlg)
{
    LOGFONTA lf = lfText;
    CHOOSEFONTA cf = {};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = hdlg;
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
    if (ChooseFontA(&cf))
        lfText = lf;
}

INT_PTR CALLBACK TextDlgProc(HWND hdlg, UINT uMsg, WPARAM wParam, LPARAM)
{
    switch (uMsg) {
    case WM_INITDIALOG: SetDlgItemTextA(hdlg, IDC_TEXT_EDIT, szText); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            GetDlgItemTextA(hdlg, IDC_TEXT_EDIT, szText, sizeof szText);
            EndDialog(hdlg, IDOK);
            return TRUE;
        case IDCANCEL: EndDialog(hdlg, IDCANCEL); return TRUE;
        case IDC_TEXT_FONT: ChooseTextFont(hdlg); return FALSE;
        }
        return FALSE;
    }
    return FALSE;
}

INT_PTR CALLBACK PenWidthDlgProc(HWND hdlg, UINT uMsg, WPARAM wParam, LPARAM)
{
    HWND hwndSlider = GetDlgItem(hdlg, IDC_PENWIDTH_SLIDER);
    switch (uMsg) {
    case WM_INITDIALOG:
        SendMessageA(hwndSlider, TBM_SETRANGE, TRUE, MAKELPARAM(1, 10));
        SendMessageA(hwndSlider, TBM_SETPOS, TRUE, nPenWidth);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            nPenWidth = (int)SendMessageA(hwndSlider, TBM_GETPOS, 0, 0);
            EndDialog(hdlg, IDOK);
            return TRUE;
        case IDCANCEL: EndDialog(hdlg, IDCANCEL); return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}
