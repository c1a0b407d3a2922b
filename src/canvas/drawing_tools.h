// The drawing tools: left-button drags in the view that draw into the figure.
#pragma once

#include <windows.h>

void OnViewMouseDown(WPARAM wParam, LPARAM lParam);
void OnViewMouseMove(WPARAM wParam, LPARAM lParam);
void OnViewMouseUp(WPARAM wParam, LPARAM lParam);
LRESULT OnViewSetCursor(WPARAM wParam, LPARAM lParam);
// Ends a drag whose mouse capture was taken away before the release.
void OnViewCaptureLost();
