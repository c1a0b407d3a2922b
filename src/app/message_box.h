// Message boxes of the program: a text of the string table with one argument, owned by the main window.
#pragma once

#include <windows.h>

// Shows string idString with pszArgument in place of its %s, captioned with the program's name.
// The text is formatted bounded: a long argument is cut, never overflows. Returns the button pressed.
int ShowFormattedMessage(UINT idString, UINT uType, const char *pszArgument);
