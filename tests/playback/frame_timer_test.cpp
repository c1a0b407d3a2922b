// The frame timer: the wait it arms for the frame due next, the stop at the end of the video, and a pending
// timer cancelled when the window closes. A video of one frame a second makes every wait unmistakable.
#include "app/app_state.h"
#include "playback/frame_timer.h"
#include "resources/resource.h"
#include "support/harness.h"

TEST_F(ProgramTest, FrameTimerWaitsForTheNextFrameStopsAtTheEndAndDiesWithTheWindow)
{
    OpenFile(MakeMedia("slow.avi", "-f lavfi -i testsrc=size=240x16:rate=1 -frames:v 5 -c:v rawvideo"));
    // Play time, frame on the screen, the wait due: the screen lagging behind the clock catches up at once.
    const LONG aCases[][3] = {{1, 0, 999}, {999, 0, 1}, {1500, 1, 500}, {3001, 0, 1}, {3001, 3, 999}};
    for (const auto &c : aCases) {
        lCurFrame = c[1];
        EXPECT_EQ(GetFrameTimerDelay(c[0]), c[2]) << "at " << c[0] << " with frame " << c[1];
    }
    lCurTime = lEndTime - 300;
    Command(IDM_PLAY);
    ASSERT_TRUE(fPlaying);
    EXPECT_TRUE(PumpUntil([] { return !fPlaying; }));
    EXPECT_EQ(lCurTime, lEndTime - 1);

    lCurTime = 1;
    Command(IDM_PLAY);
    ASSERT_TRUE(fTimerPending) << "no timer armed for frame 1";
    CloseProgram();
    // Only a timer killed before it ran clears the flag here; one left running would move a position nobody shows.
    EXPECT_FALSE(fTimerPending);
}
