// The recent file list: entries in the subkey "Recent File List" as File1, File2, ..., the most recent first, at
// most "MaxRecentFile" (8 unless set; never more than the 16 items the menu has identifiers for) shown.
#include "settings/recent_files.h"

#include "app/app_state.h"
#include "app/format.h"
#include "resources/resource.h"
#include "settings/path_names.h"
#include "settings/registry.h"

#include <shlobj.h>

static const char szSubKey[] = "Recent File List";

RecentFileList::RecentFileList() : cEntries(0)
{
}

static DWORD ReadMaxRecentFiles()
{
    HKEY hkey = OpenSettingsKey();
    DWORD cMax = ReadDword(hkey, "MaxRecentFile", 8);
    if (hkey)
        RegCloseKey(hkey);
    return cMax < (DWORD)MAX_RECENT_FILES ? cMax : (DWORD)MAX_RECENT_FILES;
}

void RecentFileList::ReadList()
{
    DWORD cMax = ReadMaxRecentFiles();
    cEntries = 0;
    HKEY hkey = OpenAppSubKey(szSubKey);
    for (DWORD i = 1; i <= cMax; i++) {
        char szName[16];
        FormatString(szName, sizeof szName, "File%lu", i);
        ReadString(hkey, szName, aszEntries[cEntries], MAX_PATH, "");
        if (!aszEntries[cEntries][0])
            break;
        cEntries++;
    }
    if (hkey)
        RegCloseKey(hkey);
}

void RecentFileList::WriteList()
{
    DeleteAppSubKey(szSubKey);
    HKEY hkey = OpenAppSubKey(szSubKey);
    for (int i = 0; i < cEntries; i++) {
        char szName[16];
        FormatString(szName, sizeof szName, "File%d", i + 1);
        WriteString(hkey, szName, aszEntries[i]);
    }
    if (hkey)
        RegCloseKey(hkey);
}

void RecentFileList::Remove(int nIndex)
{
    MoveMemory(aszEntries[nIndex], aszEntries[nIndex + 1], (cEntries - nIndex - 1) * sizeof aszEntries[0]);
    cEntries--;
}

void RecentFileList::Add(const char *pszPath)
{
    ReadList();
    char szFull[MAX_PATH];
    FullPath(szFull, pszPath);
    for (int i = 0; i < cEntries; i++) {
        if (ComparePath(aszEntries[i], szFull)) {
            Remove(i);
            break;
        }
    }
    if (cEntries == MAX_RECENT_FILES + 1)
        cEntries--;
    MoveMemory(aszEntries[1], aszEntries[0], cEntries * sizeof aszEntries[0]);
    lstrcpynA(aszEntries[0], szFull, MAX_PATH);
    cEntries++;
    WriteList();
}

void RecentFileList::GetDisplayName(char *pszBuffer, int nIndex) const
{
    lstrcpynA(pszBuffer, aszEntries[nIndex], MAX_PATH);
    AbbreviateName(pszBuffer, 40);
}

void RecentFileList::UpdateMenu(HMENU hmenu, UINT idFirst, int nPosition, BOOL fEnable)
{
    for (UINT id = idFirst + 1; id < idFirst + MAX_RECENT_FILES; id++)
        DeleteMenu(hmenu, id, MF_BYCOMMAND);
    ReadList();
    if (cEntries == 0) {
        char szText[40];
        LoadStringA(hInst, IDS_RECENT_FILES, szText, sizeof szText);
        ModifyMenuA(hmenu, nPosition, MF_BYPOSITION | MF_STRING | MF_GRAYED, idFirst, szText);
        return;
    }
    DeleteMenu(hmenu, nPosition, MF_BYPOSITION);
    for (int i = 0; i < cEntries; i++) {
        char szName[MAX_PATH], szText[3 + 2 * MAX_PATH];
        GetDisplayName(szName, i);
        // Access keys 1 to 9, then 0 for the tenth and every later item.
        szText[0] = '&';
        szText[1] = i < 9 ? (char)('1' + i) : '0';
        szText[2] = ' ';
        EscapeMenuText(szText + 3, szName);
        InsertMenuA(hmenu, nPosition + i, MF_BYPOSITION | MF_STRING | (fEnable ? MF_ENABLED : MF_GRAYED), idFirst + i,
                    szText);
    }
}

void NoteOpenedFile(const char *pszPath)
{
    if (pRecentFileList)
        pRecentFileList->Add(pszPath);
    HKEY hkey = OpenSettingsKey();
    if (!hkey)
        return;
    if (ReadDword(hkey, "AddRecentDocs", 0) != 0)
        SHAddToRecentDocs(SHARD_PATHA, pszPath);
    RegCloseKey(hkey);
}
