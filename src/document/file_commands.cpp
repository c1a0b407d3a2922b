// Opening never reads the user's file in place: it is copied into a working copy in the temporary
// folder, video as uncompressed frames and sound unchanged, and the copy is opened as the document.
// A failed open deletes its copy and leaves the open document as it was.
#include "document/file_commands.h"

#include "app/app_state.h"
#include "app/format.h"
#include "app/message_box.h"
#include "app/title.h"
#include "app/wait_cursor.h"
#include "document/avi_copy.h"
#include "document/avi_document.h"
#include "document/compress_options.h"
#include "document/document_state.h"
#include "document/save_commands.h"
#include "resources/resource.h"
#include "settings/path_names.h"

#include <mmsystem.h>

// The dialog's filter: two pairs of description and pattern, each ending in a zero, the whole in two.
static void MakeFileFilter(char *pszFilter, int cbFilter)
{
    char szAvi[64], szAll[64];
    LoadStringA(hInst, IDS_FILTER_AVI, szAvi, sizeof szAvi);
    LoadStringA(hInst, IDS_FILTER_ALL, szAll, sizeof szAll);
    int cch = 0;
    for (const char *psz : {(const char *)szAvi, "*.avi", (const char *)szAll, "*.*"}) {
        int cb = lstrlenA(psz) + 1;
        if (cch + cb >= cbFilter)
            break;
        CopyMemory(pszFilter + cch, psz, cb);
        cch += cb;
    }
    pszFilter[cch] = '\0';
}

BOOL ShowFileDialog(char *pszPath, BOOL fSave)
{
    char szFilter[160];
    MakeFileFilter(szFilter, sizeof szFilter);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = hwndMain;
    ofn.lpstrFilter = szFilter;
    ofn.lpstrFile = pszPath;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    ofn.lpstrDefExt = "avi";
    if (fSave)
        return GetSaveFileNameA(&ofn);
    return GetOpenFileNamePreviewA(&ofn);
}

void OpenFileCommand()
{
    char szPath[MAX_PATH] = "";
    if (ShowFileDialog(szPath, FALSE))
        OpenFilePath(szPath);
}

static BOOL IsExistingFile(const char *pszPath)
{
    DWORD dwAttributes = GetFileAttributesA(pszPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

void MakeTempAviName(char *pszPath)
{
    char szFolder[MAX_PATH];
    GetTempPathA(sizeof szFolder, szFolder);
    do {
        // A nonzero number only forms the name: ~CTxxxx.TMP, xxxx from the clock.
        GetTempFileNameA(szFolder, "~CT", timeGetTime() & 0xFFFF, pszPath);
        int cch = lstrlenA(pszPath);
        if (cch >= 4)
            lstrcpyA(pszPath + cch - 4, ".AVI");
    } while (IsExistingFile(pszPath));
}

void ClearFigure()
{
    fCanUndo = 0;
    if (hdcFigure) {
        RECT rc = {0, 0, cxCanvas, cyCanvas};
        FillRect(hdcFigure, &rc, (HBRUSH)GetStockObject(WHITE_BRUSH));
    }
    InvalidateRect(hwndView, NULL, FALSE);
    UpdateWindow(hwndView);
}

// Makes the working copy of szFileName and opens it as the document.
static BOOL LoadDocument()
{
    WaitCursorScope wait;
    ClearFigure();
    char szTemp[MAX_PATH];
    MakeTempAviName(szTemp);

    // Fixed options for the copy: video as uncompressed frames; the audio record stays zero.
    AVICOMPRESSOPTIONS aOptions[SLOT_COUNT] = {};
    LPAVICOMPRESSOPTIONS apOptions[SLOT_COUNT] = {&aOptions[SLOT_VIDEO], &aOptions[SLOT_AUDIO]};
    InitCompressOptions(apOptions, TRUE);

    if (!CopyAviFile(szFileName, szTemp, apOptions, TRUE) || !OpenAviDocument(szTemp, szFileName)) {
        DeleteFileA(szTemp);
        ShowFormattedMessage(IDS_CANNOT_OPEN, MB_OK | MB_ICONEXCLAMATION, szFileName);
        return FALSE;
    }
    fTempDocument = 1;
    lstrcpyA(szTempFile, szTemp);
    if (!pavisVideo) {
        // The file held no video: nothing is open now, and its copy (held by a lone audio stream) goes.
        CloseDocument();
        szFileName[0] = '\0';
        UpdateTitle();
    }
    return TRUE;
}

BOOL OpenFilePath(const char *pszPath)
{
    char szPath[MAX_PATH], szTarget[MAX_PATH];
    FullPath(szPath, pszPath);
    if (ResolveShortcut(szTarget, szPath))
        lstrcpyA(szPath, szTarget);
    if (!QuerySaveChanges())
        return FALSE;
    char szKept[MAX_PATH];
    lstrcpyA(szKept, szFileName);
    lstrcpyA(szFileName, szPath);
    if (!LoadDocument())
        lstrcpyA(szFileName, szKept);
    return TRUE;
}

BOOL QuerySaveChanges()
{
    if (!fModified)
        return TRUE;
    char szName[MAX_PATH];
    if (szFileName[0])
        lstrcpyA(szName, szFileName);
    else
        LoadStringA(hInst, IDS_UNTITLED, szName, sizeof szName);
    switch (ShowFormattedMessage(IDS_SAVE_CHANGES, MB_YESNOCANCEL | MB_ICONEXCLAMATION, szName)) {
    case IDYES:
        return SaveDocument();
    case IDNO:
        fModified = 0;
        UpdateTitle();
        return TRUE;
    default:
        return FALSE;
    }
}
