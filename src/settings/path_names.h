// Path names in the ANSI code page: on-disk letter case, shell shortcuts, comparison, the last component,
// shortening for a menu. A path is at most 259 bytes plus its terminator; lengths count bytes, and no
// operation splits a double-byte character or takes its trail byte for a separator.
#pragma once

#include <windows.h>

// pszOut (MAX_PATH bytes) receives the full path of pszIn with every component in the letter case it has on
// disk; the drive letter or server name stays as written, and components that do not exist keep their letters.
// Never fails: without a full path the input is used, cut to 259 bytes. pszOut may be pszIn.
void FullPath(char *pszOut, const char *pszIn);

// When pszIn is a shell shortcut that can be resolved, pszOut (MAX_PATH bytes) receives its target and the
// result is TRUE; otherwise pszOut is empty and the result FALSE. User-interface thread only: the shell may
// show a dialog owned by hwndMain while it looks for a moved target. pszOut and pszIn are different buffers.
BOOL ResolveShortcut(char *pszOut, const char *pszIn);

// TRUE when both paths name the same file: equal without regard to case, except that a full-width letter
// only matches the same letter in the same case.
BOOL ComparePath(const char *pszA, const char *pszB);

// The last component of pszPath: the text after the last '\', '/' or ':'. With pszOut, copies it into
// pszOut of cbOut bytes (cut at a character boundary) and returns 0; with a null pszOut, returns its length
// plus 1.
int GetFileName(const char *pszPath, char *pszOut, int cbOut);

// Shortens pszPath in place to at most cbMax bytes, as "C:\dir\...\file.avi" or the file name alone
// (which may still be longer than cbMax). A path that fits is left unchanged.
void AbbreviateName(char *pszPath, int cbMax);

// Copies at most 259 bytes of pszSrc into pszDst with every '&' doubled, so that a menu shows it literally.
// pszDst holds 2 * 259 + 1 bytes.
void EscapeMenuText(char *pszDst, const char *pszSrc);
