#include "app/message_box.h"

#include "app/app_state.h"
#include "app/format.h"

int ShowFormattedMessage(UINT idString, UINT uType, const char *pszArgument)
{
    char szFormat[256], szText[256];
    LoadStringA(hInst, idString, szFormat, sizeof szFormat);
    FormatString(szText, sizeof szText, szFormat, pszArgument);
    return MessageBoxA(hwndMain, szText, pszAppName, uType);
}
