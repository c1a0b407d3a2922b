// Opening never reads the user's file in place: it is copied into a working copy in the temporary
// folder, video as uncompressed frames and sound unchanged, and the copy is opened as the document.
// A failed open deletes its copy and leaves the open document as it was.
#include "document/file_commands.h"

#include "app/app_state.h"
#include "app/format.h"
#include "app/message_box.h"
#include "app/title.h"
#include "app/wait_cursor.h"
#include "canvas/figure_commands.h"
#include "document/avi_document.h"
#include "document/avi_precheck.h"
#include "document/copy_process.h"
#include "document/document_state.h"
#include "document/save_commands.h"
#include "resources/resource.h"
#include "settings/path_names.h"
#include "settings/recent_files.h"

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

BOOL MakeTempAviNameFrom(char *pszPath, DWORD dwStart)
{
    char szFolder[MAX_PATH];
    DWORD cch = GetTempPathA(sizeof szFolder, szFolder);
    if (cch == 0 || cch >= sizeof szFolder)
        return FALSE;
    // A nonzero number only forms the name ~CTxxxx.TMP and creates nothing; numbers whose name is taken
    // are passed over, one after the other.
    for (DWORD i = 0; i < 0xFFFF; i++) {
        if (!GetTempFileNameA(szFolder, "~CT", (dwStart + i) % 0xFFFF + 1, pszPath))
            return FALSE;
        lstrcpyA(pszPath + lstrlenA(pszPath) - 4, ".AVI");
        if (!IsExistingFile(pszPath))
            return TRUE;
    }
    return FALSE;
}

BOOL MakeTempAviName(char *pszPath)
{
    return MakeTempAviNameFrom(pszPath, timeGetTime());
}

// Makes the working copy of szFileName and opens it as the document; says so when it cannot. A cancel says nothing.
static BOOL LoadDocument()
{
    WaitCursorScope wait;
    char szTemp[MAX_PATH];
    SizeVerdict verdict = SIZE_FITS;
    CopyResult result = PassesHeaderCheck(szFileName) && MakeTempAviName(szTemp)
                            ? CopyInChildProcess(szFileName, szTemp, &verdict)
                            : COPY_FAILED;
    if (result == COPY_DONE) {
        ClearFigure();
        if (OpenAviDocument(szTemp)) {
            fTempDocument = 1;
            lstrcpyA(szTempFile, szTemp);
            return TRUE;
        }
        DeleteFileA(szTemp);
    }
    if (verdict != SIZE_FITS)
        ShowSizeRefusal(verdict, szFileName, szTemp);
    else if (result != COPY_CANCELLED)
        ShowFormattedMessage(IDS_CANNOT_OPEN, MB_OK | MB_ICONEXCLAMATION, szFileName);
    return FALSE;
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
    if (!LoadDocument()) {
        // A file that could not be read leaves the open document; one that was read but held no usable
        // video has closed it.
        lstrcpyA(szFileName, pavisVideo ? szKept : "");
        UpdateTitle();
    }
    return TRUE;
}

void OpenRecentFile(UINT id)
{
    int nIndex = (int)(id - IDM_RECENT_FIRST);
    // The entries are those the menu was built from.
    if (!pRecentFileList || nIndex >= pRecentFileList->GetCount())
        return;
    char szPath[MAX_PATH];
    lstrcpynA(szPath, pRecentFileList->GetEntry(nIndex), sizeof szPath);
    DWORD dwAttributes = GetFileAttributesA(szPath);
    if (dwAttributes == INVALID_FILE_ATTRIBUTES || (dwAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        pRecentFileList->Remove(nIndex);
        pRecentFileList->WriteList();
        ShowFormattedMessage(IDS_FILE_NOT_FOUND, MB_OK | MB_ICONEXCLAMATION, szPath);
        return;
    }
    OpenFilePath(szPath);
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
    case IDYES: return SaveDocument();
    case IDNO:
        fModified = 0;
        UpdateTitle();
        return TRUE;
    default: return FALSE;
    }
}
