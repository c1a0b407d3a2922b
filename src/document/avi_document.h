// The open AVI document: its first video and first audio stream as editable streams.
#pragma once

#include <windows.h>

// Opens the AVI file at pszPath as the document, under the name szFileName. FALSE when it cannot: when the
// file cannot be read the open document stays; when it holds no video, or its frame is too large for the
// canvas, no document is open afterwards.
BOOL OpenAviDocument(const char *pszPath);
void CloseDocument();
// Adopts pszPath (may be szFileName itself) as the document's file name: current folder and title follow.
void SetCurrentFile(const char *pszPath);
