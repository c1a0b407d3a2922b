// Moving through a video and marking the figure range with the View menu's commands and the position trackbar,
// at the edges of the video and of the range. The video has 20 frames at 10 a second: frame f starts at f * 100 ms.
#include "app/app_state.h"
#include "resources/resource.h"
#include "support/harness.h"

#include <commctrl.h>

namespace {

class NavigationTest : public ProgramTest {
protected:
    void GoToFrame(int nFrame)
    {
        Command(IDM_FIRST_FRAME);
        for (int i = 0; i < nFrame; i++)
            Command(IDM_NEXT_FRAME);
        ASSERT_EQ(lCurFrame, nFrame);
    }
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
};

} // namespace

TEST_F(NavigationTest, CommandsMoveFrameByFrameAndStopAtTheEnds)
{
    // Without a file nothing moves: a position left behind stays where it is.
    lCurTime = 500;
    for (UINT id : {IDM_GOTO_FIGURE_END, IDM_NEXT_FRAME, IDM_PREV_FRAME, IDM_LAST_FRAME, IDM_SET_FIGURE_START})
        Command(id);
    EXPECT_EQ(std::make_pair((LONG)lCurTime, nFigureStart), std::make_pair(500L, -1L));
    OpenPattern(240, 16, 20);
    // Commands from the last case on, and the time and frame they land on: a frame is entered 1 ms past its start.
    const struct Case {
        std::vector<UINT> commands;
        LONG lFrame, lTime;
    } aCases[] = {
        {{IDM_GOTO_FIGURE_END}, 19, 1901}, // right after the open the figure range is the whole video
        {{IDM_FIRST_FRAME}, 0, 0},
        {{IDM_NEXT_FRAME}, 1, 101},
        {{IDM_PREV_FRAME, IDM_PREV_FRAME}, 0, 0},
        {{IDM_LAST_FRAME}, 19, 1999},
        {{IDM_NEXT_FRAME}, 19, 1999},
        {{IDM_PREV_FRAME}, 18, 1801},
        {{IDM_NEXT_FRAME}, 19, 1901},
        {{IDM_GOTO_FIGURE_START}, 0, 1},
    };
    for (const Case &c : aCases) {
        for (UINT id : c.commands)
            Command(id);
        EXPECT_EQ(std::make_pair((LONG)lCurTime, lCurFrame), std::make_pair(c.lTime, c.lFrame)) << c.lFrame;
    }
}

TEST_F(NavigationTest, FigureRangeRefusesAStartAfterItsEndAndAnEndBeforeItsStart)
{
    OpenPattern(240, 16, 20);
    const struct Case {
        std::vector<std::pair<int, UINT>> steps; // frame, command
        LONG nStart, nEnd;
    } aCases[] = {
        {{{5, IDM_SET_FIGURE_END}, {8, IDM_SET_FIGURE_START}}, 0, 5},
        {{{5, IDM_SET_FIGURE_END}, {5, IDM_SET_FIGURE_START}}, 5, 5},
        {{{12, IDM_SET_FIGURE_START}, {7, IDM_SET_FIGURE_END}}, 12, 19},
        {{{3, IDM_SET_FIGURE_START}, {9, IDM_SET_FIGURE_END}}, 3, 9},
    };
    for (const Case &c : aCases) {
        // Back to the whole video: a start at 0 and an end at the last frame are always accepted.
        GoToFrame(0);
        Command(IDM_SET_FIGURE_START);
        GoToFrame(19);
        Command(IDM_SET_FIGURE_END);
        for (auto [nFrame, idCommand] : c.steps) {
            GoToFrame(nFrame);
            Command(idCommand);
        }
        EXPECT_EQ(nFigureStart, c.nStart);
        EXPECT_EQ(nFigureEnd, c.nEnd);
        // The go-to commands land on the range's ends, one millisecond into the frame.
        Command(IDM_GOTO_FIGURE_START);
        EXPECT_EQ(lCurTime, c.nStart * 100 + 1);
        Command(IDM_GOTO_FIGURE_END);
        EXPECT_EQ(lCurTime, c.nEnd * 100 + 1);
    }
    // An end that is not set moves nothing (a beep, no dialog).
    nFigureEnd = -1;
    Command(IDM_GOTO_FIGURE_END);
    EXPECT_EQ(lCurTime, 901);
}

TEST_F(NavigationTest, ThumbAndTicksFollowTheVideoAndTheFigureRange)
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

TEST_F(NavigationTest, EveryFrameOfALongVideoHasItsOwnPositionAndNoFramesNone)
{
    AviSpec spec;
    spec.cx = 240, spec.cy = 1, spec.cFrames = 70000, spec.dwRate = 100;
    ASSERT_TRUE(MakeAviFile(AddFile("long.avi"), spec));
    OpenFile(strTempDir + "long.avi");
    for (LONG nPosition : {32768L, 65535L, 65536L, 69999L}) {
        MoveThumb(nPosition);
        EXPECT_EQ(lCurFrame, nPosition);
        EXPECT_EQ(SendMessageA(hwndTrackbar, TBM_GETPOS, 0, 0), nPosition);
    }
    spec.cFrames = 0;
    ASSERT_TRUE(MakeAviFile(AddFile("empty.avi"), spec));
    OpenFile(strTempDir + "empty.avi");
    EXPECT_EQ(SendMessageA(hwndTrackbar, TBM_GETRANGEMAX, 0, 0), 0);
    for (UINT uCode : {TB_THUMBTRACK, TB_BOTTOM}) {
        MoveThumb(0, uCode);
        EXPECT_EQ(lCurTime, 0);
    }
    EXPECT_EQ(nFigureEnd, -1) << "a video of no frames gives the figure range no end";
}
