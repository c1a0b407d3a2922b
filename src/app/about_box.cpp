// The about box. Its web-address control is subclassed for as long as it lives: hand cursor,
// blue underlined text, and a click opens the address through the shell. The control's own
// procedure comes back when the control is destroyed, after the link font is freed.
#include "app/about_box.h"

#include "app/app_state.h"
#include "resources/resource.h"

#include <shellapi.h>

static HFONT hfontLink;
static WNDPROC lpfnStaticProc;

static LRESULT PassToStatic(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (!lpfnStaticProc)
        return 0;
    return CallWindowProcA(lpfnStaticProc, hwnd, uMsg, wParam, lParam);
}

static HCURSOR LoadHandCursor()
{
    if (fHasHandCursor)
        return LoadCursor(NULL, IDC_HAND);
    return LoadCursor(hInst, MAKEINTRESOURCE(IDC_CURSOR_HAND));
}

static void OpenLinkTarget(HWND hwnd)
{
    char szAddress[80];
    GetWindowTextA(hwnd, szAddress, sizeof szAddress);
    ShellExecuteA(NULL, NULL, szAddress, NULL, NULL, SW_SHOW);
}

static HBRUSH PrepareLinkDC(HWND hwnd, HDC hdc)
{
    if (!hfontLink) {
        LOGFONTA lf;
        HFONT hfont = (HFONT)SendMessage(hwnd, WM_GETFONT, 0, 0);
        if (!hfont)
            hfont = (HFONT)GetStockObject(DEFAULT_GUI_FONT);
        GetObjectA(hfont, sizeof lf, &lf);
        lf.lfUnderline = 1;
        hfontLink = CreateFontIndirectA(&lf);
    }
    SelectObject(hdc, hfontLink);
    SetTextColor(hdc, RGB(0, 0, 255));
    SetBkMode(hdc, TRANSPARENT);
    return (HBRUSH)GetStockObject(NULL_BRUSH);
}

static void ReleaseLink(HWND hwnd)
{
    if (hfontLink) {
        DeleteObject(hfontLink);
        hfontLink = NULL;
    }
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)lpfnStaticProc);
    lpfnStaticProc = NULL;
}

LRESULT CALLBACK LinkWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_SETCURSOR: SetCursor(LoadHandCursor()); return TRUE;
    case WM_LBUTTONDOWN: OpenLinkTarget(hwnd); break;
    case WM_LINK_PREPAREDC: return (LRESULT)PrepareLinkDC(hwnd, (HDC)wParam);
    case WM_DESTROY: {
        WNDPROC lpfnOwn = lpfnStaticProc;
        ReleaseLink(hwnd);
        return lpfnOwn ? CallWindowProcA(lpfnOwn, hwnd, uMsg, wParam, lParam) : 0;
    }
    }
    return PassToStatic(hwnd, uMsg, wParam, lParam);
}

INT_PTR CALLBACK AboutDlgProc(HWND hdlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_INITDIALOG:
        lpfnStaticProc =
            (WNDPROC)SetWindowLongPtrA(GetDlgItem(hdlg, IDC_ABOUT_LINK), GWLP_WNDPROC, (LONG_PTR)LinkWndProc);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(hdlg, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    case WM_CTLCOLORSTATIC:
        if ((HWND)lParam == GetDlgItem(hdlg, IDC_ABOUT_LINK))
            return (INT_PTR)SendMessage((HWND)lParam, WM_LINK_PREPAREDC, wParam, lParam);
        return FALSE;
    }
    return FALSE;
}
