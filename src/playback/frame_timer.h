// The playback clock and the one-shot frame timer that moves the position to it.
#pragma once

#include <windows.h>

// The Play and Stop commands: the clock is based at the position where Play ran.
void StartPlayback();
void StopPlayback();
LONG GetPlayTime();
// Milliseconds from play time t to the start of the frame that is due next: the one after the frame on the
// screen, or 1 when the clock has already passed that frame's start.
LONG GetFrameTimerDelay(LONG t);
void ScheduleFrameTimer();
void CALLBACK FrameTimerProc(UINT uTimerID, UINT uMsg, DWORD_PTR dwUser, DWORD_PTR dw1, DWORD_PTR dw2);
void CancelFrameTimer();
