// The position trackbar as the control reports a user's moves: its range and the focus after an open, the
// scroll codes, the figure range's ticks, videos longer than 65,536 frames and a video of no frames.
#include "app/app_state.h"
#include "resources/resource.h"
#include "support/avi_maker.h"
#include "support/program_test.h"

#include <commctrl.h>

namespace {

class TrackbarTest : public ProgramTest {
protected:
    // Puts the thumb on nPosition and reports it to the main window as the trackbar does.
    void MoveThumb(LONG nPosition, UINT uCode = TB_THUMBTRACK, HWND hwndFrom = hwndTrackbar)
    {
        SendMessageA(hwndTrackbar, TBM_SETPOS, TRUE, nPosition);
        SendMessageA(hwndMain, WM_HSCROLL, MAKEWPARAM(uCode, LOWORD(nPosition)), (LPARAM)hwndFrom);
        Pump();
    }
    // The ticks the program set, without the two at the ends that the control always counts.
    std::vector<LRESULT> ReadTicks()
    {
        std::vector<LRESULT> ticks;
        for (LRESULT i = 0; i + 2 < SendMessageA(hwndTrackbar, TBM_GETNUMTICS, 0, 0); i++)
            ticks.push_back(SendMessageA(hwndTrackbar, TBM_GETTIC, i, 0));
        return ticks;
    }
    // A video of the platform's writer at 100 frames a second, its frames one pixel high.
    void OpenMadeVideo(const char *pszName, LONG cFrames)
    {
        AviSpec spec;
        spec.cx = 240, spec.cy = 1, spec.cFrames = cFrames, spec.dwRate = 100;
        ASSERT_TRUE(MakeAviFile(AddFile(pszName), spec));
        OpenFile(strTempDir + pszName);
    }
};

} // namespace

TEST_F(TrackbarTest, ThumbAndTicksFollowTheVideoAndTheFigureRange)
{
    MoveThumb(5);
    EXPECT_FALSE(IsWindowEnabled(hwndTrackbar)) << "without a file";
    EXPECT_EQ(lCurTime, 0);
    SetFocus(hwndView);
    OpenPattern(240, 16, 20);
    EXPECT_EQ(SendMessageA(hwndTrackbar, TBM_GETRANGEMAX, 0, 0), 19);
    EXPECT_EQ(GetFocus(), hwndTrackbar);
    EXPECT_EQ(ReadTicks(), std::vector<LRESULT>()) << "the whole video as the range draws no ticks";
    const struct Case {
        UINT uCode;
        HWND hwndFrom;
        LONG nPosition, lFrame;
    } aCases[] = {
        {TB_THUMBTRACK, hwndTrackbar, 7, 7}, {TB_THUMBPOSITION, hwndTrackbar, 12, 12},
        {TB_PAGEUP, hwndTrackbar, 3, 3},     {TB_BOTTOM, hwndTrackbar, 19, 19},
        {TB_ENDTRACK, hwndTrackbar, 5, 19},  {TB_THUMBTRACK, NULL, 9, 19}, // not a move; another sender
    };
    for (const Case &c : aCases) {
        MoveThumb(c.nPosition, c.uCode, c.hwndFrom);
        EXPECT_EQ(lCurFrame, c.lFrame) << "code " << c.uCode;
        EXPECT_EQ(lCurTime, c.lFrame * 100 + 1) << "code " << c.uCode;
    }
    SendMessageA(hwndTrackbar, WM_KEYDOWN, VK_HOME, 1);
    Pump();
    EXPECT_EQ(lCurFrame, 0) << "a key on the trackbar";
    MoveThumb(10);
    Command(IDM_SET_FIGURE_START);
    EXPECT_EQ(ReadTicks(), (std::vector<LRESULT>{10, 19}));
    MoveThumb(4);
    Command(IDM_SET_FIGURE_END);
    EXPECT_EQ(ReadTicks(), (std::vector<LRESULT>{10, 19})) << "a refused end moved a tick";
}

TEST_F(TrackbarTest, EveryFrameOfALongVideoHasItsOwnPositionAndNoFramesNone)
{
    OpenMadeVideo("long.avi", 70000);
    for (LONG nPosition : {32768L, 65535L, 65536L, 69999L}) {
        MoveThumb(nPosition);
        EXPECT_EQ(lCurFrame, nPosition);
        EXPECT_EQ(SendMessageA(hwndTrackbar, TBM_GETPOS, 0, 0), nPosition);
    }
    OpenMadeVideo("empty.avi", 0);
    EXPECT_EQ(SendMessageA(hwndTrackbar, TBM_GETRANGEMAX, 0, 0), 0);
    for (UINT uCode : {TB_THUMBTRACK, TB_BOTTOM}) {
        MoveThumb(0, uCode);
        EXPECT_EQ(lCurTime, 0);
    }
    EXPECT_EQ(nFigureEnd, -1) << "a video of no frames gives the figure range no end";
}
