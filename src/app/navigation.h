// Moving the position through the video and marking the figure range: commands of the View menu.
#pragma once

#include <windows.h>

void GoToNextFrame();
void GoToPreviousFrame();
void GoToFirstFrame();
void GoToLastFrame();
// Moves to the first (fEnd FALSE) or last frame of the figure range; beeps when that end is not set.
void GoToFigureEnd(BOOL fEnd);
// Makes the frame under the position the first (fEnd FALSE) or last frame of the figure range;
// refused silently when it would put the start after the end.
void SetFigureEnd(BOOL fEnd);
