// The view: the frame under the position with the figure over it, at 1:1.
#pragma once

#include <windows.h>

LRESULT CALLBACK ViewWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
