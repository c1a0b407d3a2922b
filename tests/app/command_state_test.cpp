// The availability rule over every identifier, with and without a file (a stand-in stream nobody reads), undo and tool.
#include "app/app_state.h"
#include "app/command_state.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

TEST(CommandStateTest, EveryIdentifierFollowsTheCommandTable)
{
    static const UINT aidAlways[] = {IDM_FILE_OPEN, IDM_FILE_EXIT, IDM_HELP_ABOUT};
    static const UINT aidTools[] = {IDM_TOOL_PEN,      IDM_TOOL_LINE,        IDM_TOOL_RECT,   IDM_TOOL_ELLIPSE,
                                    IDM_TOOL_FILLRECT, IDM_TOOL_FILLELLIPSE, IDM_TOOL_ERASER, IDM_TOOL_TEXT};
    static const UINT aidFile[] = {IDM_FILE_SAVE,        IDM_FILE_SAVE_AS,     IDM_COMPRESS_OPTIONS, IDM_EDIT_CUT,
                                   IDM_EDIT_COPY,        IDM_EDIT_PASTE,       IDM_PEN_WIDTH,        IDM_COLOR,
                                   IDM_PLAY,             IDM_STOP,             IDM_PREV_FRAME,       IDM_NEXT_FRAME,
                                   IDM_FIRST_FRAME,      IDM_LAST_FRAME,       IDM_SET_FIGURE_START, IDM_SET_FIGURE_END,
                                   IDM_GOTO_FIGURE_START, IDM_GOTO_FIGURE_END};
    auto isIn = [](UINT id, const auto &aid) { return std::find(std::begin(aid), std::end(aid), id) != std::end(aid); };
    static int nStandIn;
    int cMismatches = 0;
    for (int fFileOpen = 0; fFileOpen <= 1; fFileOpen++)
        for (fCanUndo = 0; fCanUndo <= 1; fCanUndo++)
            for (nTool = TOOL_PEN; nTool <= TOOL_TEXT; nTool++) {
                pavisVideo = fFileOpen ? (PAVISTREAM)&nStandIn : NULL;
                for (UINT id = 0; id <= 0xFFFF; id++) {
                    bool fAvailable = isIn(id, aidAlways) || (id >= IDM_RECENT_FIRST && id <= IDM_RECENT_LAST) ||
                                      (id == IDM_EDIT_UNDO && fCanUndo) ||
                                      (fFileOpen && (isIn(id, aidFile) || isIn(id, aidTools)));
                    BOOL fChecked = 2, fResult = QueryCommandState(id, &fChecked);
                    bool fMismatch = (fResult != FALSE) != fAvailable || fChecked != (BOOL)(id == aidTools[nTool]);
                    EXPECT_FALSE(fMismatch && ++cMismatches <= 10)
                        << "id " << id << " file " << fFileOpen << " undo " << (int)fCanUndo << " tool " << nTool
                        << ": " << fResult << fChecked;
                }
            }
    EXPECT_EQ(cMismatches, 0);
    pavisVideo = NULL;
    fCanUndo = 0;
    nTool = TOOL_PEN;
}
