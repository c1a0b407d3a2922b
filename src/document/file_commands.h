// The flows the user starts from the File menu: open with its dialog, the working copy, the save prompt.
#pragma once

#include <windows.h>
// The open dialog with preview is declared by vfw.h only after the common dialogs.
#include <commdlg.h>
#include <vfw.h>

// The open or save dialog on a 260-byte buffer: initial name in, chosen path out.
BOOL ShowFileDialog(char *pszPath, BOOL fSave);
void OpenFileCommand();
// Opens pszPath as the document, after asking about a changed figure. FALSE when the user cancelled.
BOOL OpenFilePath(const char *pszPath);
// The File menu's recent file item id: opens its file, or drops the entry with a message when the file is gone.
void OpenRecentFile(UINT id);
// TRUE to go on (nothing to save, saved, or discarded), FALSE to cancel what was to happen.
BOOL QuerySaveChanges();
// A free name of the form <temporary folder>\~CTxxxx.AVI in a 260-byte buffer; creates nothing. The number
// is tried from the clock on. FALSE when the temporary folder gives no name.
BOOL MakeTempAviName(char *pszPath);
// The same with the first number tried taken from dwStart (its remainder by 65,535, plus 1).
BOOL MakeTempAviNameFrom(char *pszPath, DWORD dwStart);
