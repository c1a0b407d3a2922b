// The about box, whose web-address line behaves as a link.
#pragma once

#include <windows.h>

// Asks the link control to prepare the device context in wParam and to return its background brush.
constexpr UINT WM_LINK_PREPAREDC = WM_USER + 500;

INT_PTR CALLBACK AboutDlgProc(HWND hdlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK LinkWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
