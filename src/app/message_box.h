// Message boxes of the program, captioned with its name and owned by the main window's last active popup.
#pragma once

#include <windows.h>

// Shows string idString with pszArgument in place of its %s, captioned with the program's name.
// The text is formatted bounded: a long argument is cut, never overflows. Returns the button pressed.
int ShowFormattedMessage(UINT idString, UINT uType, const char *pszArgument);
// A message box with pszText; no owner before the main window exists.
int AppMessageBox(const char *pszText, UINT uType);
