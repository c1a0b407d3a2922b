// The status bar: menu help while a menu is open, otherwise the frame counter, the time and the mouse position
// over the frame.
#pragma once

#include <windows.h>

BOOL CreateStatusBar();
// Pane widths for a main window whose client area is cxClient wide: panes 1 to 3 as wide as their templates.
void SizeStatusPanes(int cxClient);
void UpdateCursorPane();
void UpdateStatusPanes();
// The main window's WM_MENUSELECT.
void ShowMenuHelp(WPARAM wParam, LPARAM lParam);
// Long work: the simple pane shows string idFormat with its one number (%lu) until EndProgress brings the panes back.
void ShowProgress(UINT idFormat, DWORD dwAmount);
void EndProgress();
