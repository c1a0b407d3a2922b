// The position trackbar driven as the control itself reports a user's moves: its range, thumb and ticks
// after an open, scroll notifications, the figure range's ticks, very long videos and a video of no frames.
#include "app/app_state.h"
#include "document/file_commands.h"
#include "resources/resource.h"
#include "support/document_test.h"

#include <commctrl.h>

#include <vector>

namespace {

LRESULT SendToTrackbar(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return SendMessageA(hwndTrackbar, uMsg, wParam, lParam);
}

// The ticks the program set, without the two at the ends that the control always counts.
std::vector<LRESULT> ReadTicks()
{
    std::vector<LRESULT> ticks;
    LRESULT cTicks = SendToTrackbar(TBM_GETNUMTICS);
    for (LRESULT i = 0; i + 2 < cTicks; i++)
        ticks.push_back(SendToTrackbar(TBM_GETTIC, i));
    return ticks;
}

class TrackbarTest : public DocumentTest {
protected:
    // Puts the thumb on nPosition and reports it to the main window as the trackbar does while dragging.
    void MoveThumb(LONG nPosition, UINT uCode = TB_THUMBTRACK, HWND hwndFrom = hwndTrackbar)
    {
        SendToTrackbar(TBM_SETPOS, TRUE, nPosition);
        SendMessageA(hwndMain, WM_HSCROLL, MAKEWPARAM(uCode, LOWORD(nPosition)), (LPARAM)hwndFrom);
        Pump();
    }

    // Opens a video made with the platform's writer: frames one pixel high, cheap also by the 70,000, and as
    // wide as the menu bar, so that the view has room to show them.
    void OpenMadeVideo(const char *pszName, LONG cFrames, DWORD dwRate)
    {
        AviSpec shape;
        shape.cx = 240;
        shape.cy = 1;
        shape.cFrames = cFrames;
        shape.dwRate = dwRate;
        std::string strPath = AddMedia(pszName);
        ASSERT_TRUE(MakeAviFile(strPath, shape));
        ASSERT_TRUE(OpenFilePath(strPath.c_str()));
        ASSERT_NE(pavisVideo, (PAVISTREAM)NULL);
    }
};

class NoFileTrackbarTest : public ProgramTest {};

} // namespace

TEST_F(TrackbarTest, OpeningAVideoGivesItsWholeRangeAndTheFocus)
{
    for (int cFrames : {20, 1, 100}) {
        SCOPED_TRACE(testing::Message() << cFrames << " frames");
        SetFocus(hwndView);
        OpenPatternVideo(240, 16, cFrames);
        EXPECT_EQ(SendToTrackbar(TBM_GETRANGEMIN), 0);
        EXPECT_EQ(SendToTrackbar(TBM_GETRANGEMAX), cFrames - 1);
        EXPECT_EQ(SendToTrackbar(TBM_GETPOS), 0);
        EXPECT_EQ(ReadTicks(), std::vector<LRESULT>()) << "the default range draws no ticks";
        EXPECT_EQ(nFigureStart, 0);
        EXPECT_EQ(nFigureEnd, cFrames - 1);
        EXPECT_EQ(GetFocus(), hwndTrackbar);
        EXPECT_TRUE(IsWindowEnabled(hwndTrackbar));
        // Leave a moved thumb and a tick behind for the next open to reset.
        MoveThumb(cFrames / 2);
        Command(IDM_SET_FIGURE_START);
    }
}

TEST_F(TrackbarTest, ScrollCodesFromTheTrackbarMoveToTheFrameUnderTheThumb)
{
    OpenPatternVideo(240, 16, 20);
    struct Case {
        const char *pszName;
        UINT uCode;
        bool fFromTrackbar;
        LONG nPosition;
        bool fMoves;
    } aCases[] = {
        {"thumb track", TB_THUMBTRACK, true, 7, true},
        {"thumb position", TB_THUMBPOSITION, true, 12, true},
        {"line down", TB_LINEDOWN, true, 13, true},
        {"page up", TB_PAGEUP, true, 3, true},
        {"bottom", TB_BOTTOM, true, 19, true},
        {"top", TB_TOP, true, 0, true},
        {"end of tracking", TB_ENDTRACK, true, 5, false},
        {"another sender", TB_THUMBTRACK, false, 9, false},
    };
    for (const Case &c : aCases) {
        SCOPED_TRACE(c.pszName);
        LONG lTimeBefore = lCurTime, lFrameBefore = lCurFrame;
        MoveThumb(c.nPosition, c.uCode, c.fFromTrackbar ? hwndTrackbar : NULL);
        EXPECT_EQ(lCurFrame, c.fMoves ? c.nPosition : lFrameBefore);
        EXPECT_EQ(lCurTime, c.fMoves ? c.nPosition * 100 + 1 : lTimeBefore);
    }
}

TEST_F(TrackbarTest, KeysOnTheTrackbarStepThroughTheFrames)
{
    OpenPatternVideo(240, 16, 20);
    struct Case {
        WPARAM wKey;
        LONG lFrame;
    } aCases[] = {{VK_END, 19}, {VK_LEFT, 18}, {VK_HOME, 0}, {VK_RIGHT, 1}};
    for (const Case &c : aCases) {
        SCOPED_TRACE(testing::Message() << "key " << c.wKey);
        SendToTrackbar(WM_KEYDOWN, c.wKey, 1);
        SendToTrackbar(WM_KEYUP, c.wKey, 0xC0000001);
        Pump();
        EXPECT_EQ(lCurFrame, c.lFrame);
        EXPECT_EQ(SendToTrackbar(TBM_GETPOS), c.lFrame);
    }
}

TEST_F(TrackbarTest, FigureRangeEndsAreTheTicks)
{
    OpenPatternVideo(240, 16, 100);
    MoveThumb(10);
    Command(IDM_SET_FIGURE_START);
    EXPECT_EQ(ReadTicks(), (std::vector<LRESULT>{10, 99}));
    MoveThumb(50);
    Command(IDM_SET_FIGURE_END);
    EXPECT_EQ(ReadTicks(), (std::vector<LRESULT>{10, 50}));
    // A refused end (before the start) leaves the ticks as they are.
    MoveThumb(4);
    Command(IDM_SET_FIGURE_END);
    EXPECT_EQ(ReadTicks(), (std::vector<LRESULT>{10, 50}));
}

TEST_F(TrackbarTest, EveryFrameOfALongVideoHasItsOwnPosition)
{
    struct Case {
        LONG cFrames;
        LONG nPosition;
    } aCases[] = {{50000, 49999}, {50000, 32768}, {70000, 65535}, {70000, 65536}, {70000, 69999}};
    LONG cFramesOpen = 0;
    for (const Case &c : aCases) {
        SCOPED_TRACE(testing::Message() << c.cFrames << " frames, position " << c.nPosition);
        if (c.cFrames != cFramesOpen)
            OpenMadeVideo(c.cFrames == 50000 ? "long50k.avi" : "long70k.avi", c.cFrames, 100);
        cFramesOpen = c.cFrames;
        ASSERT_EQ(SendToTrackbar(TBM_GETRANGEMAX), c.cFrames - 1);
        MoveThumb(c.nPosition);
        EXPECT_EQ(lCurFrame, c.nPosition);
        EXPECT_EQ(lCurTime, c.nPosition * 10 + 1);
        EXPECT_EQ(SendToTrackbar(TBM_GETPOS), c.nPosition);
    }
}

TEST_F(TrackbarTest, VideoOfNoFramesShowsAnEmptySlider)
{
    OpenMadeVideo("empty.avi", 0, 25);
    EXPECT_EQ(lFrameCount, 0);
    EXPECT_EQ(SendToTrackbar(TBM_GETRANGEMIN), 0);
    EXPECT_EQ(SendToTrackbar(TBM_GETRANGEMAX), 0);
    EXPECT_EQ(SendToTrackbar(TBM_GETPOS), 0);
    EXPECT_EQ(ReadTicks(), std::vector<LRESULT>());
    LONG lTimeBefore = lCurTime;
    for (UINT uCode : {TB_THUMBTRACK, TB_BOTTOM, TB_LINEDOWN}) {
        SCOPED_TRACE(testing::Message() << "code " << uCode);
        MoveThumb(0, uCode);
        EXPECT_EQ(lCurTime, lTimeBefore);
    }
    EXPECT_EQ(nFigureEnd, -1) << "the figure range has no end";
}

TEST_F(NoFileTrackbarTest, WithoutAFileTheThumbMovesNothing)
{
    EXPECT_FALSE(IsWindowEnabled(hwndTrackbar));
    LONG lTimeBefore = lCurTime, lFrameBefore = lCurFrame;
    for (LONG nPosition : {5L, 0L, 100L}) {
        SendToTrackbar(TBM_SETPOS, TRUE, nPosition);
        SendMessageA(hwndMain, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, nPosition), (LPARAM)hwndTrackbar);
        Pump();
        EXPECT_EQ(lCurTime, lTimeBefore);
        EXPECT_EQ(lCurFrame, lFrameBefore);
    }
}
