// Saving never writes the destination directly: the annotated document goes to a temporary file, is
// copied through the chosen compressors into a second temporary file beside the destination, and only
// that complete file replaces the destination. Both files are measured against the AVI limit and their
// folders' free space before the first is begun. A failed or cancelled save leaves the destination as it was
// and keeps the figure marked modified; a failed one says so.
#include "document/save_commands.h"

#include "app/app_state.h"
#include "app/long_work.h"
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

// Why a save did not happen, beyond a plain failure: a size refusal, with the file whose folder lacked room, or
// the user's cancel.
struct SaveOutcome {
    SizeVerdict verdict = SIZE_FITS;
    char szRefused[MAX_PATH] = "";
    BOOL fCancelled = FALSE;
};

// Whether the annotated file, and a final copy as large when the video is saved uncompressed, fit before either
// is begun. (A compressor's output is measured by the final copy itself, once its formats are known.) A save in one
// pass writes only the final file.
static BOOL CheckSaveRoom(const char *pszAnnotated, const char *pszFinal, BOOL fOnePass, SaveOutcome *pOutcome)
{
    ULONGLONG cbAnnotated = GetWrittenFileBytes(GetAnnotatedStreamBytes());
    if (fOnePass) {
        lstrcpynA(pOutcome->szRefused, pszFinal, MAX_PATH);
        pOutcome->verdict = CheckRoomFor(pszFinal, cbAnnotated);
        return pOutcome->verdict == SIZE_FITS;
    }
    lstrcpynA(pOutcome->szRefused, pszAnnotated, MAX_PATH);
    pOutcome->verdict = CheckRoomFor(pszAnnotated, cbAnnotated);
    DWORD fccVideo = apCompressOptions[SLOT_VIDEO]->fccHandler;
    if (pOutcome->verdict == SIZE_FITS && (!fccVideo || fccVideo == mmioFOURCC('D', 'I', 'B', ' '))) {
        lstrcpynA(pOutcome->szRefused, pszFinal, MAX_PATH);
        pOutcome->verdict = CheckRoomFor(pszFinal, cbAnnotated, IsSameVolume(pszAnnotated, pszFinal) ? cbAnnotated : 0);
    }
    return pOutcome->verdict == SIZE_FITS;
}

// The annotated write and the final copy, as two stages of long work; or the annotated write alone, straight into
// the final file, when the copy would write it unchanged.
static BOOL WriteFinalFile(const char *pszAnnotated, const char *pszFinal, BOOL fOnePass, SaveWay way,
                           SaveOutcome *pOutcome)
{
    BeginLongWork(IDS_SAVING, fOnePass ? 1 : 2);
    BOOL fOk = WriteAnnotatedAvi(fOnePass ? pszFinal : pszAnnotated, way == SAVE_FAST);
    if (!fOnePass) {
        NextLongWorkStage();
        lstrcpynA(pOutcome->szRefused, pszFinal, MAX_PATH);
        fOk = fOk && CopyAviFile(pszAnnotated, pszFinal, apCompressOptions, FALSE, &pOutcome->verdict);
    }
    pOutcome->fCancelled = EndLongWork();
    return fOk && !pOutcome->fCancelled;
}

static BOOL WriteDestination(const char *pszDest, SaveWay way, SaveOutcome *pOutcome)
{
    char szAnnotated[MAX_PATH] = "", szFinal[MAX_PATH];
    if (!MakeFileBeside(pszDest, szFinal))
        return FALSE;
    // A save in one pass has no annotated file of its own in the temporary folder.
    BOOL fOnePass = way == SAVE_FAST && CopiesUnchanged(apavisDocument, apCompressOptions);
    BOOL fOk = (fOnePass || MakeTempAviName(szAnnotated)) && CheckSaveRoom(szAnnotated, szFinal, fOnePass, pOutcome) &&
               WriteFinalFile(szAnnotated, szFinal, fOnePass, way, pOutcome) &&
               MoveFileExA(szFinal, pszDest, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (szAnnotated[0])
        DeleteFileA(szAnnotated);
    if (!fOk)
        DeleteFileA(szFinal);
    return fOk;
}

BOOL SaveToFile(const char *pszDest, SaveWay way)
{
    WaitCursorScope wait;
    SaveOutcome outcome;
    if (!pavisVideo || !WriteDestination(pszDest, way, &outcome)) {
        if (outcome.verdict != SIZE_FITS)
            ShowSizeRefusal(outcome.verdict, pszDest, outcome.szRefused);
        else if (!outcome.fCancelled)
            ShowFormattedMessage(IDS_CANNOT_SAVE, MB_OK | MB_ICONEXCLAMATION, pszDest);
        return FALSE;
    }
    lstrcpynA(szFileName, pszDest, sizeof szFileName);
    fModified = 0;
    UpdateTitle();
    return TRUE;
}
