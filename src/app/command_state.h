// Whether a command is available and checked, and the menus and toolbar buttons that show it.
#pragma once

#include <windows.h>

BOOL QueryCommandState(UINT id, BOOL *pfChecked);
void SetButtonState(UINT id, HWND hwndToolbar);
void UpdateCommandUI();
void OnInitMenuPopup(HMENU hmenu, UINT nPosition, BOOL fSystemMenu);
