// Playback without a playback thread: the idle step arms one one-shot multimedia timer for the moment
// the next frame is due; the timer moves lCurTime to the clock and repaints the view synchronously.
// fTimerPending is the only hand-off between the threads: set here before arming, cleared by the timer last.
// The clock is the sound's while the audio output gives one, the system's millisecond counter otherwise.
#include "playback/frame_timer.h"

#include "app/app_state.h"
#include "app/avi_streams.h"
#include "bars/status_bar.h"
#include "playback/audio_output.h"
#include "resources/resource.h"

#include <mmsystem.h>

#include <algorithm>

// The armed timer, so that shut-down can cancel one that has not yet run.
static std::atomic<UINT> uPendingTimer;

static void SetPlayBase(LONG lTime)
{
    dwPlayStartTick = timeGetTime();
    lPlayStartTime = lTime;
}

// Each reading of the sound's clock bases the system clock anew, so that when the sound gives way (its last buffers
// are queued, or the device is gone) the picture goes on from where the sound was instead of stepping back.
LONG GetPlayTime()
{
    LONG lAudioTime = AudioTime();
    if (lAudioTime != -1) {
        SetPlayBase(lAudioTime);
        return lAudioTime;
    }
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
    if (std::max(t, (LONG)lStartTime) >= lEndTime - 1) {
        UpdateStatusPanes();
        SendMessage(hwndMain, WM_COMMAND, IDM_STOP, 0);
    }
}

// A timer that finds the clock where it was sends the main thread nothing, and its loop would wait on for input:
// the posted null message brings that loop back to its idle step, which arms the timer for the next frame.
void CALLBACK FrameTimerProc(UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR)
{
    if (fPlaying)
        MoveToPlayTime();
    fTimerPending = 0;
    PostMessageA(hwndMain, WM_NULL, 0, 0);
}

// A timer that has already fired runs its callback, which may be waiting for this thread to paint or to stop:
// served until it is over, so that nothing of it outlives the caller's state.
void CancelFrameTimer()
{
    if (fTimerPending && timeKillEvent(uPendingTimer) == TIMERR_NOERROR)
        fTimerPending = 0;
    MSG msg;
    while (fTimerPending) {
        MsgWaitForMultipleObjects(0, NULL, FALSE, 5, QS_SENDMESSAGE);
        PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// A sound the device cannot play leaves the picture on the system clock, without a word.
void StartPlayback()
{
    if (pavisAudio)
        AudioPlay(hwndMain, pavisAudio, GetSampleAtTime(pavisAudio, lCurTime), -1);
    fPlaying = TRUE;
    SetPlayBase(lCurTime);
}

void StopPlayback()
{
    AudioStop();
    fPlaying = FALSE;
}
