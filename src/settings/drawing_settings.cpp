// The drawing settings: read once when the view is made, each written when the user confirms its dialog.
// "PenWidth" has no range test: a stored 25 draws 25 pixels wide.
#include "settings/drawing_settings.h"

#include "app/app_state.h"
#include "settings/registry.h"

void ReadDrawingSettings()
{
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lfText, &lfText);
    HKEY hkey = OpenSettingsKey();
    if (!hkey)
        return;
    crColor = ReadDword(hkey, "Color", 0);
    nPenWidth = (int)ReadDword(hkey, "PenWidth", 1);
    ReadBinary(hkey, "Font", &lfText, sizeof lfText);
    RegCloseKey(hkey);
}

static void StoreDword(const char *pszName, DWORD dwValue)
{
    HKEY hkey = OpenSettingsKey();
    WriteDword(hkey, pszName, dwValue);
    if (hkey)
        RegCloseKey(hkey);
}

void StorePenWidth()
{
    StoreDword("PenWidth", (DWORD)nPenWidth);
}

void StoreColor()
{
    StoreDword("Color", crColor);
}

void StoreTextFont()
{
    HKEY hkey = OpenSettingsKey();
    WriteBinary(hkey, "Font", &lfText, sizeof lfText);
    if (hkey)
        RegCloseKey(hkey);
}
