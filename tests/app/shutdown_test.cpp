// Closing the program and the idle step of its message loop.
#include "app/app_state.h"
#include "app/startup.h"
#include "resources/resource.h"
#include "support/program_test.h"

TEST_F(ProgramTest, ClosingWithNothingModifiedEndsTheLoopWithCodeZero)
{
    Command(IDM_FILE_EXIT);
    EXPECT_TRUE(fEnded);
    EXPECT_EQ(nExitCode, 0);
    EXPECT_FALSE(IsWindow(hwndMain));
    EXPECT_TRUE(robot.Seen().empty()) << "closing asked something";
}

// Plays a video of one frame a second from lTime with frame 0 on the screen.
class PlaybackTest : public ProgramTest {
protected:
    void PlayOneFramePerSecondFrom(LONG lTime)
    {
        UseVideoStream(AviSpec{32, 24, 5, 1});
        lCurTime = lTime;
        lCurFrame = 0;
        Command(IDM_PLAY);
    }
};

TEST_F(PlaybackTest, ClosingCancelsAPendingFrameTimer)
{
    // The timer is armed for the next frame, a second away.
    PlayOneFramePerSecondFrom(1);
    ASSERT_TRUE(fTimerPending);
    pavisVideo = NULL; // the test's own stream stays the test's to release
    CloseProgram();
    EXPECT_EQ(nExitCode, 0);
    EXPECT_FALSE(fTimerPending);
    Sleep(1300);
    EXPECT_EQ(lCurTime, 1) << "a frame timer ran after the window was gone";
}

TEST_F(ProgramTest, IdleStepArmsNothingWithoutAVideo)
{
    fPlaying = TRUE;
    RunIdleStep();
    EXPECT_FALSE(fTimerPending);
    fPlaying = FALSE;
}

TEST_F(PlaybackTest, FrameAlreadyShownArmsTheTimerForTheNextFrame)
{
    PlayOneFramePerSecondFrom(1);
    ASSERT_TRUE(fTimerPending);
    RunIdleStep(); // a second pass while the timer is pending arms nothing more
    ASSERT_TRUE(PumpUntil([] { return lCurTime != 1; }));
    // The timer could not run before frame 1 starts, one second into the video.
    EXPECT_GE(lCurTime, 1000);
    Command(IDM_STOP);
}

TEST_F(PlaybackTest, LaggingScreenArmsTheTimerAtOnce)
{
    PlayOneFramePerSecondFrom(3001); // the clock is at frame 3 while frame 0 is on the screen
    EXPECT_TRUE(PumpUntil([] { return lCurTime != 3001; }));
    EXPECT_LT(lCurTime, 4000) << "the timer waited for the next frame instead of catching up";
    Command(IDM_STOP);
}

TEST_F(ProgramTest, PlaybackStopsByItselfAtTheEnd)
{
    UseVideoStream(AviSpec{32, 24, 5, 25});
    lCurTime = lEndTime - 10;
    Command(IDM_PLAY);
    EXPECT_TRUE(PumpUntil([] { return !fPlaying; }));
    EXPECT_EQ(lCurTime, lEndTime - 1);
}
