// The recent file list of the File menu. The registry is its store: the list is read again before every change and
// every rebuild of the menu, and written back after every change, so the menu shows what another running copy of
// the program stored as well.
#pragma once

#include <windows.h>

enum { MAX_RECENT_FILES = 16 }; // the program's identifiers for the list's items

class RecentFileList {
public:
    RecentFileList();
    void ReadList();
    void WriteList();
    // Puts the file first, once, spelled as on disk, and stores the list.
    void Add(const char *pszPath);
    void Remove(int nIndex);
    int GetCount() const { return cEntries; }
    const char *GetEntry(int nIndex) const { return aszEntries[nIndex]; }
    // The entry's menu text in pszBuffer (MAX_PATH bytes), shortened to 40 bytes.
    void GetDisplayName(char *pszBuffer, int nIndex) const;
    // Rebuilds the list's items in a drop-down menu at nPosition, where the item with idFirst stands.
    void UpdateMenu(HMENU hmenu, UINT idFirst, int nPosition, BOOL fEnable);

private:
    // One more than the menu shows: an Add keeps the oldest entry until the next read drops it.
    char aszEntries[MAX_RECENT_FILES + 1][MAX_PATH];
    int cEntries;
};

// Each opened or saved file: first in the recent file list, and in the shell's recent documents when
// "AddRecentDocs" asks for it.
void NoteOpenedFile(const char *pszPath);
