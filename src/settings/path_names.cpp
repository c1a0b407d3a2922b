// Path names for the recent file list and the open and save flows. Writes no program-wide field; reads hwndMain
// as the owner of the shell's dialogs. The one rule: every scan steps with CharNextA, so the trail byte 0x5C of a
// Shift-JIS character (表, ソ) is never taken for '\'.
#include "settings/path_names.h"

#include "app/app_state.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

static BOOL IsNameSeparator(char ch)
{
    return ch == '\\' || ch == '/' || ch == ':';
}

static const char *FindFileName(const char *pszPath)
{
    const char *pszName = pszPath;
    for (const char *p = pszPath; *p; p = CharNextA(p))
        if (IsNameSeparator(*p))
            pszName = p + 1;
    return pszName;
}

static char *FindLastBackslash(char *pszPath)
{
    char *pszFound = NULL;
    for (char *p = pszPath; *p; p = CharNextA(p))
        if (*p == '\\')
            pszFound = p;
    return pszFound;
}

// Moves at least one character forward, then on to the next '\' or the end.
static char *SkipToNextBackslash(char *p)
{
    if (*p)
        p = CharNextA(p);
    while (*p && *p != '\\')
        p = CharNextA(p);
    return p;
}

// Copies whole characters while they fit into cbDst bytes with the terminator. The buffers may be the same.
static void CopyWholeChars(char *pszDst, const char *pszSrc, size_t cbDst)
{
    size_t cb = 0;
    for (const char *p = pszSrc; *p;) {
        const char *pNext = CharNextA(p);
        if (cb + (size_t)(pNext - p) >= cbDst)
            break;
        cb += (size_t)(pNext - p);
        p = pNext;
    }
    memmove(pszDst, pszSrc, cb);
    pszDst[cb] = '\0';
}

// A wildcard matches other entries, not the one the name was typed for: such a name is not looked up.
static BOOL HasWildcard(const char *pszName)
{
    for (const char *p = pszName; *p; p = CharNextA(p))
        if (*p == '*' || *p == '?')
            return TRUE;
    return FALSE;
}

// Turns pszPath (MAX_PATH bytes) into its full path with the last component as stored on disk, when there
// is such an entry. Returns where the last component starts, or null when the path has none.
static char *SetLastComponentCase(char *pszPath)
{
    char szFull[MAX_PATH];
    char *pszName = NULL;
    DWORD cch = GetFullPathNameA(pszPath, sizeof szFull, szFull, &pszName);
    if (cch == 0 || cch >= sizeof szFull || !pszName || !*pszName)
        return NULL;
    size_t cbDirectory = (size_t)(pszName - szFull);
    WIN32_FIND_DATAA fd;
    HANDLE hFind = HasWildcard(pszName) ? INVALID_HANDLE_VALUE : FindFirstFileA(szFull, &fd);
    if (hFind != INVALID_HANDLE_VALUE) {
        FindClose(hFind);
        size_t cbFileName = strlen(fd.cFileName);
        if (cbDirectory + cbFileName < sizeof szFull)
            memcpy(pszName, fd.cFileName, cbFileName + 1);
    }
    memcpy(pszPath, szFull, strlen(szFull) + 1);
    return pszPath + cbDirectory;
}

static BOOL IsAfterVolumeSeparator(const char *pszStart, const char *p)
{
    const char *pPrev = CharPrevA(pszStart, p);
    return p - pPrev == 1 && (*pPrev == ':' || *pPrev == '\\');
}

static void PrependComponent(char *pszTail, const char *pszName)
{
    size_t cbName = strlen(pszName);
    memmove(pszTail + 1 + cbName, pszTail, strlen(pszTail) + 1);
    pszTail[0] = '\\';
    memcpy(pszTail + 1, pszName, cbName);
}

// Corrects the components from the last one backwards, down to the drive or a network path's leading '\\', and puts
// the corrected components back behind what is left. One component that cannot be examined, or a result
// that no longer fits, gives the full path as the platform made it.
void FullPath(char *pszOut, const char *pszIn)
{
    char szFull[MAX_PATH];
    DWORD cch = GetFullPathNameA(pszIn, sizeof szFull, szFull, NULL);
    CopyWholeChars(pszOut, (cch == 0 || cch >= sizeof szFull) ? pszIn : szFull, MAX_PATH);

    char szKept[MAX_PATH];
    char szTail[MAX_PATH] = "";
    memcpy(szKept, pszOut, strlen(pszOut) + 1);
    char *p = pszOut + strlen(pszOut);
    while (p != pszOut) {
        *p = '\0';
        if (IsAfterVolumeSeparator(pszOut, p))
            break;
        char *pszName = SetLastComponentCase(pszOut);
        if (!pszName || strlen(pszOut) + strlen(szTail) >= MAX_PATH) {
            memcpy(pszOut, szKept, strlen(szKept) + 1);
            return;
        }
        PrependComponent(szTail, pszName);
        p = FindLastBackslash(pszOut);
        if (!p)
            break;
    }
    memcpy(pszOut + strlen(pszOut), szTail, strlen(szTail) + 1);
}

// The shell needs the component object library on the calling thread (SHGetFileInfo as well as the link
// object). It is made ready once per thread, on the first call, and left ready for the life of the thread:
// in the program that is the user-interface thread, which belongs in a single-threaded apartment anyway, and
// no start-up step has to remember it. A thread already in the multithreaded apartment creates the link
// object as it is.
static void ReadyComLibrary()
{
    static thread_local BOOL fComReady = FALSE;
    if (fComReady)
        return;
    HRESULT hr = CoInitialize(NULL);
    fComReady = SUCCEEDED(hr) || hr == RPC_E_CHANGED_MODE;
}

static BOOL IsShellLink(const char *pszPath)
{
    SHFILEINFOA sfi = {};
    sfi.dwAttributes = SFGAO_LINK;
    if (!SHGetFileInfoA(pszPath, 0, &sfi, sizeof sfi, SHGFI_ATTRIBUTES | SHGFI_ATTR_SPECIFIED))
        return FALSE;
    return (sfi.dwAttributes & SFGAO_LINK) != 0;
}

BOOL ResolveShortcut(char *pszOut, const char *pszIn)
{
    pszOut[0] = '\0';
    ReadyComLibrary();
    if (!IsShellLink(pszIn))
        return FALSE;

    IShellLinkA *psl = NULL;
    IPersistFile *ppf = NULL;
    WCHAR wszPath[MAX_PATH];
    BOOL fResolved =
        SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void **)&psl)) &&
        SUCCEEDED(psl->QueryInterface(IID_IPersistFile, (void **)&ppf)) &&
        MultiByteToWideChar(CP_ACP, 0, pszIn, -1, wszPath, MAX_PATH) != 0 && SUCCEEDED(ppf->Load(wszPath, STGM_READ)) &&
        SUCCEEDED(psl->Resolve(hwndMain, SLR_ANY_MATCH));
    if (fResolved)
        psl->GetPath(pszOut, MAX_PATH, NULL, 0);
    if (ppf)
        ppf->Release();
    if (psl)
        psl->Release();
    return fResolved;
}

// Compares the classes of a's and b's characters, one class per character: a full-width letter of a must have
// the same upper- or lower-case class as the character of b in its place.
static BOOL HasFullWidthCaseDifference(const char *pszA, const char *pszB, int cb)
{
    WORD awType1A[MAX_PATH] = {};
    WORD awType3A[MAX_PATH] = {};
    WORD awType1B[MAX_PATH] = {};
    LCID lcid = GetThreadLocale();
    GetStringTypeA(lcid, CT_CTYPE1, pszA, cb, awType1A);
    GetStringTypeA(lcid, CT_CTYPE3, pszA, cb, awType3A);
    GetStringTypeA(lcid, CT_CTYPE1, pszB, cb, awType1B);
    int i = 0;
    for (const char *p = pszA; *p; p = CharNextA(p), i++)
        if ((awType3A[i] & C3_FULLWIDTH) && awType1A[i] != awType1B[i])
            return TRUE;
    return FALSE;
}

// lstrcmpi folds the case of full-width letters too, but on a double-byte system those are told apart.
BOOL ComparePath(const char *pszA, const char *pszB)
{
    if (lstrcmpiA(pszA, pszB) != 0)
        return FALSE;
    if (!GetSystemMetrics(SM_DBCSENABLED))
        return TRUE;
    int cb = lstrlenA(pszA);
    if (cb != lstrlenA(pszB))
        return FALSE;
    if (cb >= MAX_PATH) // no path of ours: only the same bytes name the same file
        return strcmp(pszA, pszB) == 0;
    return !HasFullWidthCaseDifference(pszA, pszB, cb);
}

int GetFileName(const char *pszPath, char *pszOut, int cbOut)
{
    const char *pszName = FindFileName(pszPath);
    if (!pszOut)
        return lstrlenA(pszName) + 1;
    if (cbOut > 0)
        CopyWholeChars(pszOut, pszName, (size_t)cbOut);
    return 0;
}

// Bytes kept in front of "\...": the drive and its colon or the server name, and the first directory or the
// share name when the directories are longer than a root.
static int MeasureVolume(char *pszPath, int cbDirectories)
{
    char *p = pszPath + 2;
    if (pszPath[0] == '\\' && pszPath[1] == '\\')
        while (*p && *p != '\\')
            p = CharNextA(p);
    if (cbDirectories > 3)
        p = SkipToNextBackslash(p);
    return (int)(p - pszPath);
}

static void KeepFileName(char *pszPath, const char *pszName)
{
    memmove(pszPath, pszName, strlen(pszName) + 1);
}

void AbbreviateName(char *pszPath, int cbMax)
{
    int cbFull = lstrlenA(pszPath);
    char *pszName = pszPath + (FindFileName(pszPath) - pszPath);
    int cbName = lstrlenA(pszName);
    if (cbMax >= cbFull)
        return;
    if (cbMax < cbName) {
        KeepFileName(pszPath, pszName);
        return;
    }
    int cbVolume = MeasureVolume(pszPath, cbFull - cbName);
    if (cbMax < cbVolume + cbName + 5) {
        KeepFileName(pszPath, pszName);
        return;
    }
    char *pszRest = pszPath + cbVolume;
    while (cbVolume + 4 + lstrlenA(pszRest) > cbMax)
        pszRest = SkipToNextBackslash(pszRest);
    memmove(pszPath + cbVolume + 4, pszRest, strlen(pszRest) + 1);
    memcpy(pszPath + cbVolume, "\\...", 4);
}

// A source longer than a path is cut after 259 bytes, before a character that would not fit whole.
void EscapeMenuText(char *pszDst, const char *pszSrc)
{
    char *q = pszDst;
    for (const char *p = pszSrc; *p;) {
        const char *pNext = CharNextA(p);
        if (pNext - pszSrc > MAX_PATH - 1)
            break;
        if (*p == '&')
            *q++ = '&';
        while (p < pNext)
            *q++ = *p++;
    }
    *q = '\0';
}
