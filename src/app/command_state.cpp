// The one decision on command availability and check marks, and the menus and toolbars that apply it.
// The rule reads only pavisVideo (a file is open), fCanUndo and nTool.
#include "app/command_state.h"

#include "app/app_state.h"
#include "bars/toolbar_tables.h"
#include "resources/resource.h"
#include "settings/recent_files.h"

#include <commctrl.h>

// The tool commands in the order of nTool.
static const UINT aidToolCommands[] = {
    IDM_TOOL_PEN,      IDM_TOOL_LINE,        IDM_TOOL_RECT,   IDM_TOOL_ELLIPSE,
    IDM_TOOL_FILLRECT, IDM_TOOL_FILLELLIPSE, IDM_TOOL_ERASER, IDM_TOOL_TEXT,
};

static int FindToolOfCommand(UINT id)
{
    for (int i = 0; i < (int)(sizeof aidToolCommands / sizeof aidToolCommands[0]); i++)
        if (aidToolCommands[i] == id)
            return i;
    return -1;
}

static BOOL IsFileCommand(UINT id)
{
    switch (id) {
    case IDM_FILE_SAVE:
    case IDM_FILE_SAVE_AS:
    case IDM_EDIT_CUT:
    case IDM_EDIT_COPY:
    case IDM_EDIT_PASTE:
    case IDM_PEN_WIDTH:
    case IDM_COLOR:
    case IDM_PLAY:
    case IDM_STOP:
    case IDM_NEXT_FRAME:
    case IDM_FIRST_FRAME:
    case IDM_LAST_FRAME:
    case IDM_PREV_FRAME:
    case IDM_COMPRESS_OPTIONS:
    case IDM_GOTO_FIGURE_END:
    case IDM_GOTO_FIGURE_START: return TRUE;
    default: return FALSE;
    }
}

BOOL QueryCommandState(UINT id, BOOL *pfChecked)
{
    BOOL fFileOpen = pavisVideo != NULL;
    *pfChecked = FALSE;

    if (id >= IDM_RECENT_FIRST && id <= IDM_RECENT_LAST)
        return TRUE;
    if (id > IDM_SET_FIGURE_END)
        return FALSE;
    if (id == IDM_SET_FIGURE_START || id == IDM_SET_FIGURE_END)
        return fFileOpen;
    if (id < IDM_FILE_SAVE || id > IDM_GOTO_FIGURE_START)
        return FALSE;
    if (id == IDM_FILE_EXIT || id == IDM_HELP_ABOUT || id == IDM_FILE_OPEN)
        return TRUE;
    if (id == IDM_EDIT_UNDO)
        return fCanUndo != 0;
    int iTool = FindToolOfCommand(id);
    if (iTool >= 0) {
        *pfChecked = nTool == iTool;
        return fFileOpen;
    }
    return IsFileCommand(id) && fFileOpen;
}

void SetButtonState(UINT id, HWND hwndToolbar)
{
    if (id == 0)
        return;
    BOOL fChecked;
    BYTE bState = QueryCommandState(id, &fChecked) ? TBSTATE_ENABLED : 0;
    if (fChecked)
        bState |= TBSTATE_CHECKED;
    SendMessage(hwndToolbar, TB_SETSTATE, id, MAKELONG(bState, 0));
}

void UpdateCommandUI()
{
    for (const BarCommand &row : aPlayBarCommands)
        SetButtonState(row.idCommand, hwndToolbarPlay);
    for (const BarCommand &row : aStdBarCommands)
        SetButtonState(row.idCommand, hwndToolbarStd);
    for (const TBBUTTON &button : atbDrawButtons)
        SetButtonState(button.idCommand, hwndToolbarDraw);
}

static void UpdateMenuItem(HMENU hmenu, UINT nPosition, UINT id)
{
    char szText[80];
    UINT uFlags = GetMenuState(hmenu, nPosition, MF_BYPOSITION);
    GetMenuStringA(hmenu, nPosition, szText, sizeof szText, MF_BYPOSITION);
    BOOL fChecked;
    BOOL fAvailable = QueryCommandState(id, &fChecked);
    uFlags &= ~(MF_CHECKED | MF_GRAYED);
    if (fChecked)
        uFlags |= MF_CHECKED;
    if (!fAvailable)
        uFlags |= MF_GRAYED;
    ModifyMenuA(hmenu, nPosition, MF_BYPOSITION | MF_STRING | uFlags, id, szText);
}

void OnInitMenuPopup(HMENU hmenu, UINT nPosition, BOOL fSystemMenu)
{
    (void)nPosition;
    if (fSystemMenu || !hmenu)
        return;
    // The count is asked anew each step: the recent file list replaces its items while the walk goes on.
    for (int i = 0; i < GetMenuItemCount(hmenu); i++) {
        UINT id = GetMenuItemID(hmenu, i);
        if (id == 0 || id == (UINT)-1)
            continue;
        if (id == IDM_RECENT_FIRST && pRecentFileList)
            pRecentFileList->UpdateMenu(hmenu, IDM_RECENT_FIRST, i, TRUE);
        else if (id > IDM_RECENT_FIRST && id <= IDM_RECENT_LAST)
            EnableMenuItem(hmenu, i, MF_BYPOSITION | MF_ENABLED);
        else if (id != IDM_RECENT_FIRST)
            UpdateMenuItem(hmenu, i, id);
    }
}
