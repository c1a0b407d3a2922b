// Moving through a video and marking the figure range with the View menu's commands, at the edges of the
// video and of the range.
#include "app/app_state.h"
#include "app/command_state.h"
#include "resources/resource.h"
#include "support/document_test.h"

#include <vector>

namespace {

// A video of 20 frames at 10 frames a second: frame f starts at f * 100 ms. Its frames are as wide as the
// menu bar, so that the view has room to show them.
class NavigationTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        if (!IsSkipped())
            OpenPatternVideo(240, 16, 20);
    }

    void GoToFrame(int nFrame)
    {
        Command(IDM_FIRST_FRAME);
        for (int i = 0; i < nFrame; i++)
            Command(IDM_NEXT_FRAME);
        ASSERT_EQ(lCurFrame, nFrame);
    }
};

class NoFileNavigationTest : public ProgramTest {};

} // namespace

TEST_F(NavigationTest, CommandsMoveFrameByFrameAndStopAtTheEnds)
{
    ASSERT_EQ(lStartTime, 0);
    ASSERT_EQ(lEndTime, 2000);
    // Right after the open the figure range is the whole video: its end is the last frame.
    Command(IDM_GOTO_FIGURE_END);
    EXPECT_EQ(lCurFrame, 19);
    EXPECT_EQ(lCurTime, 1901);

    struct Case {
        std::vector<UINT> commands;
        LONG lFrame;
        LONG lTime;
    } aCases[] = {
        {{IDM_FIRST_FRAME}, 0, 0},
        {{IDM_FIRST_FRAME, IDM_NEXT_FRAME}, 1, 101},
        {{IDM_FIRST_FRAME, IDM_PREV_FRAME}, 0, 0},
        {{IDM_FIRST_FRAME, IDM_NEXT_FRAME, IDM_NEXT_FRAME, IDM_PREV_FRAME}, 1, 101},
        {{IDM_LAST_FRAME}, 19, 1999},
        {{IDM_LAST_FRAME, IDM_NEXT_FRAME}, 19, 1999},
        {{IDM_LAST_FRAME, IDM_PREV_FRAME}, 18, 1801},
        {{IDM_LAST_FRAME, IDM_PREV_FRAME, IDM_NEXT_FRAME}, 19, 1901},
        {{IDM_LAST_FRAME, IDM_GOTO_FIGURE_START}, 0, 1},
    };
    for (const Case &c : aCases) {
        SCOPED_TRACE(testing::Message() << "case ending at frame " << c.lFrame << ", " << c.commands.size()
                                        << " commands");
        for (UINT id : c.commands)
            Command(id);
        EXPECT_EQ(lCurTime, c.lTime);
        EXPECT_EQ(lCurFrame, c.lFrame) << "the view shows another frame";
    }
}

TEST_F(NavigationTest, FigureRangeRefusesAStartAfterItsEndAndAnEndBeforeItsStart)
{
    struct Step {
        int nFrame;
        UINT idCommand;
    };
    struct Case {
        std::vector<Step> steps;
        LONG nStart, nEnd;
    } aCases[] = {
        {{{5, IDM_SET_FIGURE_END}, {8, IDM_SET_FIGURE_START}}, 0, 5},
        {{{5, IDM_SET_FIGURE_END}, {5, IDM_SET_FIGURE_START}}, 5, 5},
        {{{12, IDM_SET_FIGURE_START}, {7, IDM_SET_FIGURE_END}}, 12, 19},
        {{{12, IDM_SET_FIGURE_START}, {12, IDM_SET_FIGURE_END}}, 12, 12},
        {{{3, IDM_SET_FIGURE_START}, {9, IDM_SET_FIGURE_END}}, 3, 9},
    };
    for (const Case &c : aCases) {
        SCOPED_TRACE(testing::Message() << "range expected " << c.nStart << ".." << c.nEnd);
        // Back to the whole video: a start at 0 and an end at the last frame are always accepted.
        GoToFrame(0);
        Command(IDM_SET_FIGURE_START);
        GoToFrame(19);
        Command(IDM_SET_FIGURE_END);
        for (const Step &step : c.steps) {
            GoToFrame(step.nFrame);
            Command(step.idCommand);
        }
        EXPECT_EQ(nFigureStart, c.nStart);
        EXPECT_EQ(nFigureEnd, c.nEnd);
        // The go-to commands land on the range's ends, one millisecond into the frame.
        Command(IDM_GOTO_FIGURE_START);
        EXPECT_EQ(lCurFrame, c.nStart);
        EXPECT_EQ(lCurTime, c.nStart * 100 + 1);
        Command(IDM_GOTO_FIGURE_END);
        EXPECT_EQ(lCurFrame, c.nEnd);
        EXPECT_EQ(lCurTime, c.nEnd * 100 + 1);
    }
    EXPECT_TRUE(robot.Seen().empty()) << "a refusal showed a dialog";
}

TEST_F(NavigationTest, GoToAnUnsetEndMovesNothing)
{
    // What a video of no frames leaves: a figure range with no end.
    GoToFrame(4);
    nFigureEnd = -1;
    Command(IDM_GOTO_FIGURE_END);
    EXPECT_EQ(lCurTime, 401);
    EXPECT_EQ(lCurFrame, 4);
    nFigureStart = -1;
    Command(IDM_GOTO_FIGURE_START);
    EXPECT_EQ(lCurTime, 401);
    EXPECT_TRUE(robot.Seen().empty());
}

TEST_F(NoFileNavigationTest, WithoutAFileNavigationIsUnavailableAndSilent)
{
    // A position left behind, as after a closed file, must stay where it is.
    lCurTime = 500;
    const UINT aidCommands[] = {IDM_GOTO_FIGURE_START, IDM_GOTO_FIGURE_END, IDM_NEXT_FRAME,       IDM_PREV_FRAME,
                                IDM_FIRST_FRAME,       IDM_LAST_FRAME,      IDM_SET_FIGURE_START, IDM_SET_FIGURE_END};
    for (UINT id : aidCommands) {
        SCOPED_TRACE(testing::Message() << "command " << id);
        BOOL fChecked;
        EXPECT_FALSE(QueryCommandState(id, &fChecked));
        Command(id);
        EXPECT_EQ(lCurTime, 500);
        EXPECT_EQ(nFigureStart, -1);
        EXPECT_EQ(nFigureEnd, -1);
    }
    EXPECT_TRUE(robot.Seen().empty());
}
