// The open AVI document: its first video and first audio stream as editable streams.
#pragma once

#include <windows.h>

// Opens the AVI file at pszPath as the document. Messages name the file as the user knows it,
// pszUserPath. FALSE when the file cannot be opened for reading; the open document then stays.
BOOL OpenAviDocument(const char *pszPath, const char *pszUserPath);
void CloseDocument();
// Adopts pszPath (may be szFileName itself) as the document's file name: current folder and title follow.
void SetCurrentFile(const char *pszPath);
