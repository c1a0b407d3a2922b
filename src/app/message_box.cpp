#include "app/message_box.h"

#include "app/app_state.h"
#include "app/format.h"

int ShowFormattedMessage(UINT idString, UINT uType, const char *pszArgument)
{
    char szFormat[256], szText[256];
    LoadStringA(hInst, idString, szFormat, sizeof szFormat);
    FormatString(szText, sizeof szText, szFormat, pszArgument);
    return AppMessageBox(szText, uType);
}

int AppMessageBox(const char *pszText, UINT uType)
{
    // Owned by what the user is looking at: a dialog of ours when one is open, otherwise the main window.
    HWND hwndOwner = hwndMain ? GetLastActivePopup(hwndMain) : NULL;
    return MessageBoxA(hwndOwner, pszText, pszAppName, uType);
}
