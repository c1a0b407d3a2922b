// The main window: its procedure, the layout of its children and the toolbar tooltips.
#pragma once

#include <windows.h>
#include <commctrl.h>

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
void LayoutWindows();
// The height of a bar from its window rectangle; 0 for a bar that does not exist.
int GetWindowHeight(HWND hwnd);
void GetToolTipText(NMTTDISPINFOA *pdi);
