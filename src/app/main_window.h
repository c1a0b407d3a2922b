// The main window: its procedure, the layout of its children and the toolbar tooltips.
#pragma once

#include <windows.h>
#include <commctrl.h>

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
void LayoutWindows();
void GetToolTipText(NMTTDISPINFOA *pdi);
