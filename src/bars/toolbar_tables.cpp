// The rows of the standard, playback and drawing toolbars, in their order on screen.
#include "bars/toolbar_tables.h"

#include "resources/resource.h"

// Standard bar kinds: 0 = our bitmap, 1 and 2 = the platform's standard images.
const BarCommand aStdBarCommands[STD_BAR_ROWS] = {
    {IDM_FILE_OPEN, 1, STD_FILEOPEN}, {IDM_FILE_SAVE, 1, STD_FILESAVE}, {IDM_EDIT_CUT, 1, STD_CUT},
    {IDM_EDIT_COPY, 1, STD_COPY},     {IDM_EDIT_PASTE, 1, STD_PASTE},   {IDM_EDIT_UNDO, 1, STD_UNDO},
    {IDM_COMPRESS_OPTIONS, 0, 0},
};
const BYTE abStdBarList[] = {0, 1, 2, 3, 4, 5, 6, BAR_END};

// Playback bar: every image from our bitmap, in its own order.
const BarCommand aPlayBarCommands[PLAY_BAR_ROWS] = {
    {IDM_PLAY, 0, 0},       {IDM_STOP, 0, 1},       {IDM_PREV_FRAME, 0, 2},       {IDM_FIRST_FRAME, 0, 4},
    {IDM_LAST_FRAME, 0, 5}, {IDM_NEXT_FRAME, 0, 3}, {IDM_SET_FIGURE_START, 0, 6}, {IDM_SET_FIGURE_END, 0, 7},
};
const BYTE abPlayBarList[] = {0, 1, 2, 3, 4, 5, BAR_SEPARATOR, 6, 7, BAR_END};

const TBBUTTON atbDrawButtons[DRAW_BAR_BUTTONS] = {
    {0, IDM_TOOL_PEN, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {1, IDM_TOOL_LINE, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {2, IDM_TOOL_RECT, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {3, IDM_TOOL_ELLIPSE, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {4, IDM_TOOL_FILLRECT, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {5, IDM_TOOL_FILLELLIPSE, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {6, IDM_TOOL_ERASER, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {7, IDM_TOOL_TEXT, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {8, IDM_PEN_WIDTH, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {9, IDM_COLOR, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
};
