// Titles the main window "<name>[ *] - Pelto", the name being the file's full path or the untitled name.
#include "app/title.h"

#include "app/app_state.h"
#include "app/format.h"
#include "resources/resource.h"

void UpdateTitle()
{
    char szName[MAX_PATH + 2];
    if (szFileName[0])
        lstrcpynA(szName, szFileName, MAX_PATH);
    else
        LoadStringA(hInst, IDS_UNTITLED, szName, MAX_PATH);
    if (fModified)
        lstrcatA(szName, " *");

    char szTitle[MAX_PATH + 100];
    FormatString(szTitle, sizeof szTitle, "%s - %s", szName, pszAppName);
    SetWindowTextA(hwndMain, szTitle);
}
