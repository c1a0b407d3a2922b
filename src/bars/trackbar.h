// The position trackbar between the view and the playback bar: its thumb is the frame on screen,
// its two ticks the ends of the figure range.
#pragma once

#include <windows.h>

void CreateTrackbar();
void ResetTrackbar();
void SyncTrackbar();
void UpdateFigureTicks();
void OnTrackbarScroll(UINT uCode, HWND hwndFrom);
