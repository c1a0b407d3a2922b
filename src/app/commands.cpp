// The command table: one line per command, after the availability rule has let the command through.
// An unavailable command or an unknown identifier is ignored without a sound.
#include "app/commands.h"

#include "app/about_box.h"
#include "app/app_state.h"
#include "app/command_state.h"
#include "app/navigation.h"
#include "canvas/figure_commands.h"
#include "document/compress_options.h"
#include "document/file_commands.h"
#include "document/save_commands.h"
#include "playback/frame_timer.h"
#include "resources/resource.h"

static void SetTool(int nNewTool)
{
    nTool = nNewTool;
    UpdateCommandUI();
}

static void OpenFileAndRefresh()
{
    OpenFileCommand();
    UpdateCommandUI();
}

static void ShowAboutBox()
{
    DialogBoxParamA(hInst, MAKEINTRESOURCEA(IDD_ABOUTBOX), hwndMain, AboutDlgProc, 0);
}

void OnCommand(WPARAM wParam)
{
    UINT id = LOWORD(wParam);
    if (id >= IDM_RECENT_FIRST && id <= IDM_RECENT_LAST) {
        OpenRecentFile(id);
        UpdateCommandUI();
        return;
    }
    BOOL fChecked;
    if (!QueryCommandState(id, &fChecked))
        return;

    switch (id) {
    case IDM_TOOL_PEN: SetTool(TOOL_PEN); break;
    case IDM_TOOL_LINE: SetTool(TOOL_LINE); break;
    case IDM_TOOL_RECT: SetTool(TOOL_RECT); break;
    case IDM_TOOL_ELLIPSE: SetTool(TOOL_ELLIPSE); break;
    case IDM_TOOL_FILLRECT: SetTool(TOOL_FILLRECT); break;
    case IDM_TOOL_FILLELLIPSE: SetTool(TOOL_FILLELLIPSE); break;
    case IDM_TOOL_ERASER: SetTool(TOOL_ERASER); break;
    case IDM_TOOL_TEXT: SetTool(TOOL_TEXT); break;
    case IDM_FILE_OPEN: OpenFileAndRefresh(); break;
    case IDM_FILE_SAVE: SaveDocument(); break;
    case IDM_FILE_SAVE_AS: SaveDocumentAs(NULL); break;
    case IDM_EDIT_UNDO: UndoFigure(); break;
    case IDM_EDIT_CUT: CutFigure(); break;
    case IDM_EDIT_COPY: CopyFigure(); break;
    case IDM_EDIT_PASTE: PasteFigure(); break;
    case IDM_PEN_WIDTH: ChoosePenWidth(); break;
    case IDM_COLOR: ChooseDrawingColor(); break;
    case IDM_NEXT_FRAME: GoToNextFrame(); break;
    case IDM_PREV_FRAME: GoToPreviousFrame(); break;
    case IDM_FIRST_FRAME: GoToFirstFrame(); break;
    case IDM_LAST_FRAME: GoToLastFrame(); break;
    case IDM_GOTO_FIGURE_START: GoToFigureEnd(FALSE); break;
    case IDM_GOTO_FIGURE_END: GoToFigureEnd(TRUE); break;
    case IDM_SET_FIGURE_START: SetFigureEnd(FALSE); break;
    case IDM_SET_FIGURE_END: SetFigureEnd(TRUE); break;
    case IDM_COMPRESS_OPTIONS: ChooseCompressOptions(); break;
    case IDM_PLAY: StartPlayback(); break;
    case IDM_STOP: StopPlayback(); break;
    case IDM_FILE_EXIT: SendMessage(hwndMain, WM_CLOSE, 0, 0); break;
    case IDM_HELP_ABOUT: ShowAboutBox(); break;
    }
}
