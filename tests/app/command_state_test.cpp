// The availability and check rule over every command identifier, against the command table as a
// user reads it: which commands need an open file, which are always there, which follow undo.
#include "app/app_state.h"
#include "app/command_state.h"
#include "resources/resource.h"

#include <commctrl.h>

#include <gtest/gtest.h>

namespace {

enum class Needs { Always, OpenFile, UndoCopy };

struct CommandRow {
    UINT id;
    Needs needs;
    int nCheckedTool; // the tool whose selection checks the command; -1 for none
};

const CommandRow aCommandTable[] = {
    {IDM_FILE_OPEN, Needs::Always, -1},
    {IDM_FILE_SAVE, Needs::OpenFile, -1},
    {IDM_FILE_SAVE_AS, Needs::OpenFile, -1},
    {IDM_COMPRESS_OPTIONS, Needs::OpenFile, -1},
    {IDM_FILE_EXIT, Needs::Always, -1},
    {IDM_EDIT_UNDO, Needs::UndoCopy, -1},
    {IDM_EDIT_CUT, Needs::OpenFile, -1},
    {IDM_EDIT_COPY, Needs::OpenFile, -1},
    {IDM_EDIT_PASTE, Needs::OpenFile, -1},
    {IDM_TOOL_PEN, Needs::OpenFile, 0},
    {IDM_TOOL_LINE, Needs::OpenFile, 1},
    {IDM_TOOL_RECT, Needs::OpenFile, 2},
    {IDM_TOOL_ELLIPSE, Needs::OpenFile, 3},
    {IDM_TOOL_FILLRECT, Needs::OpenFile, 4},
    {IDM_TOOL_FILLELLIPSE, Needs::OpenFile, 5},
    {IDM_TOOL_ERASER, Needs::OpenFile, 6},
    {IDM_TOOL_TEXT, Needs::OpenFile, 7},
    {IDM_PEN_WIDTH, Needs::OpenFile, -1},
    {IDM_COLOR, Needs::OpenFile, -1},
    {IDM_PLAY, Needs::OpenFile, -1},
    {IDM_STOP, Needs::OpenFile, -1},
    {IDM_PREV_FRAME, Needs::OpenFile, -1},
    {IDM_NEXT_FRAME, Needs::OpenFile, -1},
    {IDM_FIRST_FRAME, Needs::OpenFile, -1},
    {IDM_LAST_FRAME, Needs::OpenFile, -1},
    {IDM_SET_FIGURE_START, Needs::OpenFile, -1},
    {IDM_SET_FIGURE_END, Needs::OpenFile, -1},
    {IDM_GOTO_FIGURE_START, Needs::OpenFile, -1},
    {IDM_GOTO_FIGURE_END, Needs::OpenFile, -1},
    {IDM_HELP_ABOUT, Needs::Always, -1},
};

const CommandRow *FindRow(UINT id)
{
    for (const CommandRow &row : aCommandTable)
        if (row.id == id)
            return &row;
    return nullptr;
}

struct ExpectedState {
    bool fAvailable;
    bool fChecked;
};

ExpectedState ExpectState(UINT id, bool fFileOpen, bool fUndo, int nCurrentTool)
{
    if (id >= IDM_RECENT_FIRST && id <= IDM_RECENT_LAST)
        return {true, false};
    const CommandRow *row = FindRow(id);
    if (!row)
        return {false, false};
    bool fAvailable = row->needs == Needs::Always || (row->needs == Needs::OpenFile && fFileOpen) ||
                      (row->needs == Needs::UndoCopy && fUndo);
    return {fAvailable, row->nCheckedTool >= 0 && row->nCheckedTool == nCurrentTool};
}

class CommandStateTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        pavisVideo = NULL;
        fCanUndo = 0;
        nTool = TOOL_PEN;
    }
};

} // namespace

TEST_F(CommandStateTest, EveryIdentifierFollowsTheCommandTable)
{
    // Any non-null stream stands for an open file: the rule only looks at the pointer.
    static int nStandIn;
    int cMismatches = 0;
    for (int fFileOpen = 0; fFileOpen <= 1; fFileOpen++)
        for (int fUndo = 0; fUndo <= 1; fUndo++)
            for (int nCurrentTool = TOOL_PEN; nCurrentTool <= TOOL_TEXT; nCurrentTool++) {
                pavisVideo = fFileOpen ? (PAVISTREAM)&nStandIn : NULL;
                fCanUndo = (BYTE)fUndo;
                nTool = nCurrentTool;
                for (UINT id = 0; id <= 0xFFFF; id++) {
                    BOOL fChecked = 2;
                    BOOL fAvailable = QueryCommandState(id, &fChecked);
                    ExpectedState expected = ExpectState(id, fFileOpen, fUndo, nCurrentTool);
                    if ((fAvailable != FALSE) != expected.fAvailable || (fChecked != FALSE) != expected.fChecked ||
                        (fChecked != FALSE && fChecked != TRUE)) {
                        if (++cMismatches <= 10)
                            ADD_FAILURE() << "id " << id << " file " << fFileOpen << " undo " << fUndo << " tool "
                                          << nCurrentTool << ": available " << fAvailable << " checked " << fChecked;
                    }
                }
            }
    EXPECT_EQ(cMismatches, 0);
}

TEST_F(CommandStateTest, ButtonsCarryTheStateOfTheLastRefresh)
{
    HWND hwndToolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, NULL, WS_POPUP, 0, 0, 100, 30, NULL, NULL, NULL, NULL);
    ASSERT_NE(hwndToolbar, (HWND)NULL);
    SendMessageA(hwndToolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBBUTTON atb[2] = {{0, IDM_TOOL_LINE, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
                       {1, IDM_EDIT_UNDO, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0}};
    SendMessageA(hwndToolbar, TB_ADDBUTTONSA, 2, (LPARAM)atb);

    static int nStandIn;
    pavisVideo = (PAVISTREAM)&nStandIn;
    nTool = TOOL_LINE;
    SetButtonState(IDM_TOOL_LINE, hwndToolbar);
    SetButtonState(IDM_EDIT_UNDO, hwndToolbar);
    SetButtonState(0, hwndToolbar);
    EXPECT_EQ(SendMessageA(hwndToolbar, TB_GETSTATE, IDM_TOOL_LINE, 0), TBSTATE_ENABLED | TBSTATE_CHECKED);
    EXPECT_EQ(SendMessageA(hwndToolbar, TB_GETSTATE, IDM_EDIT_UNDO, 0), 0);

    // The button keeps its state until the next refresh, whatever the fields do meanwhile.
    pavisVideo = NULL;
    EXPECT_EQ(SendMessageA(hwndToolbar, TB_GETSTATE, IDM_TOOL_LINE, 0), TBSTATE_ENABLED | TBSTATE_CHECKED);
    SetButtonState(IDM_TOOL_LINE, hwndToolbar);
    EXPECT_EQ(SendMessageA(hwndToolbar, TB_GETSTATE, IDM_TOOL_LINE, 0), TBSTATE_CHECKED);
    DestroyWindow(hwndToolbar);
}
