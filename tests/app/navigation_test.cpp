// Moving through a video and marking the figure range with the View menu's commands, at the edges of the
// video and of the range. The video has 20 frames at 10 a second: frame f starts at f * 100 ms.
#include "app/app_state.h"
#include "resources/resource.h"
#include "support/program_test.h"

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
};

} // namespace

TEST_F(NavigationTest, CommandsMoveFrameByFrameAndStopAtTheEnds)
{
    const UINT aidCommands[] = {IDM_GOTO_FIGURE_START, IDM_GOTO_FIGURE_END, IDM_NEXT_FRAME,       IDM_PREV_FRAME,
                                IDM_FIRST_FRAME,       IDM_LAST_FRAME,      IDM_SET_FIGURE_START, IDM_SET_FIGURE_END};
    // Without a file nothing moves: a position left behind stays where it is.
    lCurTime = 500;
    for (UINT id : aidCommands)
        Command(id);
    EXPECT_EQ(lCurTime, 500);
    EXPECT_EQ(nFigureStart, -1);

    OpenPattern(240, 16, 20);
    // Right after the open the figure range is the whole video.
    Command(IDM_GOTO_FIGURE_END);
    EXPECT_EQ(lCurTime, 1901);
    const struct Case {
        std::vector<UINT> commands;
        LONG lFrame, lTime;
    } aCases[] = {
        {{IDM_FIRST_FRAME}, 0, 0},
        {{IDM_FIRST_FRAME, IDM_NEXT_FRAME}, 1, 101},
        {{IDM_FIRST_FRAME, IDM_PREV_FRAME}, 0, 0},
        {{IDM_LAST_FRAME}, 19, 1999},
        {{IDM_LAST_FRAME, IDM_NEXT_FRAME}, 19, 1999},
        {{IDM_LAST_FRAME, IDM_PREV_FRAME}, 18, 1801},
        {{IDM_LAST_FRAME, IDM_PREV_FRAME, IDM_NEXT_FRAME}, 19, 1901},
        {{IDM_LAST_FRAME, IDM_GOTO_FIGURE_START}, 0, 1},
    };
    for (const Case &c : aCases) {
        for (UINT id : c.commands)
            Command(id);
        EXPECT_EQ(lCurTime, c.lTime) << "case ending at frame " << c.lFrame;
        EXPECT_EQ(lCurFrame, c.lFrame) << "the view shows another frame";
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
