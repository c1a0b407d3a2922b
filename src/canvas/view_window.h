// The view and the canvas behind it: the frame under the position with the figure laid over it, at 1:1.
// White in the figure is transparent.
#pragma once

#include <windows.h>

LRESULT CALLBACK ViewWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
void PaintView(HDC hdc);
// Repaints the view at once, without erasing.
void RepaintView();
