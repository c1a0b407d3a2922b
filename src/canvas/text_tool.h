// The text tool and the pen width dialog.
#pragma once

#include <windows.h>

// Asks for a text and draws it into the figure with its top-left at (x, y) in crColor.
// TRUE when a text was placed; FALSE when the dialog was cancelled or the font could not be made.
BOOL PlaceText(int x, int y);
INT_PTR CALLBACK TextDlgProc(HWND hdlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK PenWidthDlgProc(HWND hdlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
