// Navigation moves lCurTime; a frame is entered one millisecond past its start time, and the view is
// repainted at once. None of it stops playback: the next frame timer puts the position back on the clock.
#include "app/navigation.h"

#include "app/app_state.h"
#include "bars/trackbar.h"
#include "canvas/view_window.h"

static LONG GetFrameOfPosition()
{
    return AVIStreamTimeToSample(pavisVideo, lCurTime);
}

static LONG GetFrameEntryTime(LONG lFrame)
{
    // The platform gives a frame before the stream's start the time of the stream's end.
    if (lFrame < AVIStreamStart(pavisVideo))
        return lStartTime;
    return AVIStreamSampleToTime(pavisVideo, lFrame) + 1;
}

static void MoveTo(LONG lTime)
{
    if (lTime >= lEndTime)
        lTime = lEndTime - 1;
    if (lTime < lStartTime)
        lTime = lStartTime;
    lCurTime = lTime;
    RepaintView();
}

void GoToNextFrame()
{
    if (pavisVideo)
        MoveTo(GetFrameEntryTime(GetFrameOfPosition() + 1));
}

void GoToPreviousFrame()
{
    if (pavisVideo)
        MoveTo(GetFrameEntryTime(GetFrameOfPosition() - 1));
}

void GoToFirstFrame()
{
    MoveTo(lStartTime);
}

void GoToLastFrame()
{
    MoveTo(lEndTime - 1);
}

void GoToFigureEnd(BOOL fEnd)
{
    if (!pavisVideo)
        return;
    LONG lFrame = fEnd ? nFigureEnd : nFigureStart;
    if (lFrame < 0) {
        MessageBeep(0);
        return;
    }
    MoveTo(GetFrameEntryTime(lFrame));
}

void SetFigureEnd(BOOL fEnd)
{
    if (!pavisVideo)
        return;
    LONG lFrame = GetFrameOfPosition();
    if (fEnd) {
        if (nFigureStart != -1 && nFigureStart > lFrame)
            return;
        nFigureEnd = lFrame;
    } else {
        if (nFigureEnd != -1 && nFigureEnd < lFrame)
            return;
        nFigureStart = lFrame;
    }
    UpdateFigureTicks();
}
