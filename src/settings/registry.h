// The program's settings key under HKEY_CURRENT_USER and its value functions.
// Every function takes a null key as "the registry is not available": readers give their default, writers do nothing.
#pragma once

#include <windows.h>

HKEY OpenSettingsKey();
HKEY OpenAppSubKey(const char *pszName);
void DeleteAppSubKey(const char *pszName);
DWORD ReadDword(HKEY hkey, const char *pszName, DWORD dwDefault);
void WriteDword(HKEY hkey, const char *pszName, DWORD dwValue);
void ReadString(HKEY hkey, const char *pszName, char *pszBuffer, DWORD cbBuffer, const char *pszDefault);
void WriteString(HKEY hkey, const char *pszName, const char *pszText);
// Reads a value of at most cbBuffer bytes into pvBuffer and returns its size; 0 when it is missing or longer.
DWORD ReadBinaryUpTo(HKEY hkey, const char *pszName, void *pvBuffer, DWORD cbBuffer);
// Reads a value of exactly cbBuffer bytes (at most 256) into pvBuffer; FALSE, leaving the buffer alone, otherwise.
BOOL ReadBinary(HKEY hkey, const char *pszName, void *pvBuffer, DWORD cbBuffer);
void WriteBinary(HKEY hkey, const char *pszName, const void *pvValue, DWORD cbValue);
