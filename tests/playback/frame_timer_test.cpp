// The frame timer: the wait it arms for the frame due next, the stop at the end of the video, and a pending
// timer cancelled when the window closes. A video of one frame a second makes every wait unmistakable.
#include "app/app_state.h"
#include "playback/frame_timer.h"
#include "resources/resource.h"
#include "support/avi_maker.h"
#include "support/program_test.h"

namespace {

class FrameTimerTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        AviSpec spec;
        spec.cx = 240, spec.cFrames = 5, spec.dwRate = 1;
        ASSERT_TRUE(MakeAviFile(AddFile("slow.avi"), spec));
        OpenFile(strTempDir + "slow.avi");
    }
};

} // namespace

TEST_F(FrameTimerTest, WaitsForTheNextFrameOrCatchesUpAtOnce)
{
    const struct Case {
        LONG t, lShown, lDelay;
    } aCases[] = {
        {1, 0, 999},    // frame 0 on the screen: wait for frame 1
        {999, 0, 1},    //
        {1500, 1, 500}, //
        {3001, 0, 1},   // the screen lags behind the clock: at once, not at frame 4
        {3001, 3, 999},
    };
    for (const Case &c : aCases) {
        lCurFrame = c.lShown;
        EXPECT_EQ(GetFrameTimerDelay(c.t), c.lDelay) << "at " << c.t << " with frame " << c.lShown;
    }
}

TEST_F(FrameTimerTest, PlaybackStopsByItselfAtTheEnd)
{
    Command(IDM_LAST_FRAME);
    lCurTime = lEndTime - 300;
    Command(IDM_PLAY);
    ASSERT_TRUE(fPlaying);
    EXPECT_TRUE(PumpUntil([] { return !fPlaying; }));
    EXPECT_EQ(lCurTime, lEndTime - 1);
}

TEST_F(FrameTimerTest, ClosingCancelsAPendingFrameTimer)
{
    lCurTime = 1;
    Command(IDM_PLAY);
    ASSERT_TRUE(fTimerPending) << "no timer armed for frame 1";
    CloseProgram();
    EXPECT_EQ(nExitCode, 0);
    // Only a timer that was killed before it ran clears the flag here; one left running would move a
    // position nobody shows.
    EXPECT_FALSE(fTimerPending);
}
