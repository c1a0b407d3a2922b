// The heights of the bars around the view, which the main window's layout and the fit of the window to a
// frame both measure.
#pragma once

#include <windows.h>

// The height of a bar from its window rectangle; 0 for a bar that does not exist.
int GetWindowHeight(HWND hwnd);
// The rebar, the trackbar, the playback bar and the status bar together.
int GetBarsHeight();
