// Playback without a playback thread: the idle step arms one one-shot multimedia timer for the moment
// the next frame is due; the timer moves lCurTime to the clock and repaints the view synchronously.
// fTimerPending is the only hand-off between the threads: set here before arming, cleared by the timer last.
#include "playback/frame_timer.h"

#include "app/app_state.h"
#include "resources/resource.h"

#include <mmsystem.h>

#include <algorithm>

// The armed timer, so that shut-down can cancel one that has not yet run.
static std::atomic<UINT> uPendingTimer;

LONG GetPlayTime()
{
    // 32-bit arithmetic that wraps with the millisecond counter.
    return (LONG)(timeGetTime() + (DWORD)lPlayStartTime - dwPlayStartTick);
}

LONG GetFrameTimerDelay(LONG t)
{
    LONG f = AVIStreamTimeToSample(pavisVideo, t);
    if (f == lCurFrame)
        f++;
    LONG lNext = AVIStreamSampleToTime(pavisVideo, f);
    return lNext > t ? lNext - t : 1;
}

void ScheduleFrameTimer()
{
    if (!pavisVideo || fTimerPending)
        return;
    fTimerPending = 1;
    uPendingTimer = timeSetEvent((UINT)GetFrameTimerDelay(GetPlayTime()), 0, FrameTimerProc, 0, TIME_ONESHOT);
    if (uPendingTimer == 0)
        fTimerPending = 0;
}

static void MoveToPlayTime()
{
    LONG t = GetPlayTime();
    if (t == lCurTime)
        return;
    if (t >= lEndTime)
        t = lEndTime - 1;
    lCurTime = t;
    InvalidateRect(hwndView, NULL, FALSE);
    UpdateWindow(hwndView);
    if (std::max(t, (LONG)lStartTime) >= lEndTime - 1)
        SendMessage(hwndMain, WM_COMMAND, IDM_STOP, 0);
}

void CALLBACK FrameTimerProc(UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR)
{
    if (fPlaying)
        MoveToPlayTime();
    fTimerPending = 0;
}

void CancelFrameTimer()
{
    if (fTimerPending && timeKillEvent(uPendingTimer) == TIMERR_NOERROR)
        fTimerPending = 0;
}

void StartPlayback()
{
    fPlaying = TRUE;
    dwPlayStartTick = timeGetTime();
    lPlayStartTime = lCurTime.load();
}

void StopPlayback()
{
    fPlaying = FALSE;
}
