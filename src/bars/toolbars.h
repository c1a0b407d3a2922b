// The three toolbars: the playback bar above the status bar, and the standard and drawing bars as the two bands of
// the rebar, whose order and length are kept in the settings from one run to the next.
#pragma once

#include <windows.h>
#include <commctrl.h>

BOOL CreatePlayBar();
void CreateRebar();
// Stores which band comes first and where the second begins; at the main window's destruction.
void SaveRebarLayout();
// The platform's restore of the playback bar asks here for the button at an index of its table.
BOOL GetPlayBarButton(NMTOOLBARA *pnmtb);
