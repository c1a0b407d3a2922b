// Registry access of the settings: each user opens the key, reads or writes, and closes it again.
// Keys are created when missing and always opened for reading and writing; no failure reaches the user.
#include "settings/registry.h"

#include "app/app_state.h"
#include "app/format.h"

#include <shlwapi.h>

static HKEY CreateKey(const char *pszPath)
{
    HKEY hkey = NULL;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, pszPath, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, NULL, &hkey,
                        NULL) != ERROR_SUCCESS)
        return NULL;
    return hkey;
}

static void MakeSubKeyPath(char *pszPath, size_t cbPath, const char *pszName)
{
    FormatString(pszPath, cbPath, "%s\\%s", pszRegistryKey, pszName);
}

HKEY OpenSettingsKey()
{
    return CreateKey(pszRegistryKey);
}

HKEY OpenAppSubKey(const char *pszName)
{
    char szPath[MAX_PATH];
    MakeSubKeyPath(szPath, sizeof szPath, pszName);
    return CreateKey(szPath);
}

void DeleteAppSubKey(const char *pszName)
{
    char szPath[MAX_PATH];
    MakeSubKeyPath(szPath, sizeof szPath, pszName);
    // A subkey of its own would make RegDeleteKey refuse; the whole tree goes.
    SHDeleteKeyA(HKEY_CURRENT_USER, szPath);
}

DWORD ReadDword(HKEY hkey, const char *pszName, DWORD dwDefault)
{
    DWORD dwValue = 0;
    DWORD cb = sizeof dwValue;
    if (!hkey || RegQueryValueExA(hkey, pszName, NULL, NULL, (BYTE *)&dwValue, &cb) != ERROR_SUCCESS)
        return dwDefault;
    return dwValue;
}

void WriteDword(HKEY hkey, const char *pszName, DWORD dwValue)
{
    if (hkey)
        RegSetValueExA(hkey, pszName, 0, REG_DWORD, (const BYTE *)&dwValue, sizeof dwValue);
}

void ReadString(HKEY hkey, const char *pszName, char *pszBuffer, DWORD cbBuffer, const char *pszDefault)
{
    DWORD cb = cbBuffer;
    if (hkey && cbBuffer > 0 && RegQueryValueExA(hkey, pszName, NULL, NULL, (BYTE *)pszBuffer, &cb) == ERROR_SUCCESS) {
        // A stored text without its terminating zero still ends inside the buffer.
        if (cb < cbBuffer)
            pszBuffer[cb] = '\0';
        else
            pszBuffer[cbBuffer - 1] = '\0';
        return;
    }
    lstrcpynA(pszBuffer, pszDefault, (int)cbBuffer);
}

void WriteString(HKEY hkey, const char *pszName, const char *pszText)
{
    if (hkey)
        RegSetValueExA(hkey, pszName, 0, REG_SZ, (const BYTE *)pszText, lstrlenA(pszText) + 1);
}

DWORD ReadBinaryUpTo(HKEY hkey, const char *pszName, void *pvBuffer, DWORD cbBuffer)
{
    DWORD cb = cbBuffer;
    if (!hkey || RegQueryValueExA(hkey, pszName, NULL, NULL, (BYTE *)pvBuffer, &cb) != ERROR_SUCCESS)
        return 0;
    return cb;
}

BOOL ReadBinary(HKEY hkey, const char *pszName, void *pvBuffer, DWORD cbBuffer)
{
    // Read into a copy first: a value of another size must leave the buffer as it was.
    BYTE abValue[256];
    DWORD cb = ReadBinaryUpTo(hkey, pszName, abValue, sizeof abValue);
    if (cb == 0 || cb != cbBuffer)
        return FALSE;
    CopyMemory(pvBuffer, abValue, cb);
    return TRUE;
}

void WriteBinary(HKEY hkey, const char *pszName, const void *pvValue, DWORD cbValue)
{
    if (hkey)
        RegSetValueExA(hkey, pszName, 0, REG_BINARY, (const BYTE *)pvValue, cbValue);
}
