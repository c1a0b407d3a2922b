// Bounded text formatting into fixed buffers.
#pragma once

#include <windows.h>

#include <cstddef>

// Formats like printf into pszBuffer of cbBuffer bytes. A text that does not fit is cut at a character
// boundary of the ANSI code page and always terminated. Returns FALSE when the text was cut.
BOOL FormatString(char *pszBuffer, size_t cbBuffer, const char *pszFormat, ...);
// The line break of a command's string, which parts its help from its tooltip; the terminating zero when there is
// none. Steps by characters, so a trail byte is never taken for it.
char *FindLineBreak(char *psz);
