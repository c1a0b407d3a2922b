// Saving never writes the destination directly: the annotated document goes to a temporary file, is
// copied through the chosen compressors into a second temporary file beside the destination, and only
// that complete file replaces the destination. A failed save leaves the destination as it was, keeps
// the figure marked modified and says so.
#include "document/save_commands.h"

#include "app/app_state.h"
#include "app/message_box.h"
#include "app/title.h"
#include "app/wait_cursor.h"
#include "document/annotated_writer.h"
#include "document/avi_copy.h"
#include "document/avi_document.h"
#include "document/document_state.h"
#include "document/file_commands.h"
#include "resources/resource.h"
#include "settings/path_names.h"

#include <shlwapi.h>

BOOL SaveDocument()
{
    DWORD dwAttributes = GetFileAttributesA(szFileName);
    BOOL fUnusable = dwAttributes == INVALID_FILE_ATTRIBUTES ? GetLastError() != ERROR_FILE_NOT_FOUND
                                                            : (dwAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    return SaveDocumentAs(fUnusable ? NULL : szFileName);
}

BOOL SaveDocumentAs(const char *pszName)
{
    char szPath[MAX_PATH] = "";
    if (pszName)
        lstrcpynA(szPath, pszName, sizeof szPath);
    if (!szPath[0]) {
        LoadStringA(hInst, IDS_UNTITLED, szPath, sizeof szPath);
        if (!ShowFileDialog(szPath, TRUE))
            return FALSE;
    }
    char szDest[MAX_PATH];
    FullPath(szDest, szPath);
    WaitCursorScope wait;
    if (!SaveToFile(szDest))
        return FALSE;
    SetCurrentFile(szDest);
    return TRUE;
}

// A new, empty file of our own in the destination's folder; FALSE when the folder takes none.
static BOOL MakeFileBeside(const char *pszDest, char *pszPath)
{
    char szFolder[MAX_PATH];
    lstrcpynA(szFolder, pszDest, sizeof szFolder);
    PathRemoveFileSpecA(szFolder);
    return GetTempFileNameA(szFolder[0] ? szFolder : ".", "~CT", 0, pszPath) != 0;
}

static BOOL WriteDestination(const char *pszDest)
{
    char szAnnotated[MAX_PATH], szFinal[MAX_PATH];
    if (!MakeTempAviName(szAnnotated) || !MakeFileBeside(pszDest, szFinal))
        return FALSE;
    BOOL fOk = WriteAnnotatedAvi(szAnnotated) && CopyAviFile(szAnnotated, szFinal, apCompressOptions, FALSE) &&
               MoveFileExA(szFinal, pszDest, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    DeleteFileA(szAnnotated);
    if (!fOk)
        DeleteFileA(szFinal);
    return fOk;
}

BOOL SaveToFile(const char *pszDest)
{
    WaitCursorScope wait;
    if (!pavisVideo || !WriteDestination(pszDest)) {
        ShowFormattedMessage(IDS_CANNOT_SAVE, MB_OK | MB_ICONEXCLAMATION, pszDest);
        return FALSE;
    }
    lstrcpynA(szFileName, pszDest, sizeof szFileName);
    fModified = 0;
    UpdateTitle();
    return TRUE;
}
