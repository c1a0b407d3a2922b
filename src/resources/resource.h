// Resource identifiers of Pelto: commands, dialogs, controls, strings, cursors, bitmaps and icon.
// #defines only, so that both the resource compiler and the C++ compiler read this file.
#pragma once

// Static texts that the program never addresses.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Menu and accelerator table of the main window.
#define IDR_MAINFRAME 109

// Icon, cursors and toolbar bitmaps.
#define IDI_PELTO         107
#define IDB_DRAWBAR       129
#define IDC_CURSOR_CROSS  133
#define IDC_CURSOR_ERASER 134
#define IDC_CURSOR_PEN    135
#define IDB_PLAYBAR       136
#define IDB_STDBAR        137
#define IDC_CURSOR_HAND   138

// About box.
#define IDD_ABOUTBOX   103
#define IDC_ABOUT_ICON 2
#define IDC_ABOUT_LINK 1003

// Text dialog.
#define IDD_TEXT      131
#define IDC_TEXT_EDIT 1000
#define IDC_TEXT_FONT 1001

// Pen width dialog.
#define IDD_PENWIDTH        132
#define IDC_PENWIDTH_SLIDER 1002

// Child window identifiers of the main window.
#define IDC_PLAYBAR   100
#define IDC_STDBAR    101
#define IDC_DRAWBAR   102
#define IDC_STATUSBAR 104
#define IDC_VIEW      105
#define IDC_REBAR     106

// Strings.
#define IDS_APP_TITLE             103
#define IDS_FILE_NOT_FOUND        104
#define IDS_RECENT_FILES          105
#define IDS_APP_CLASS             109
#define IDS_PANE_FRAMES_TEMPLATE  110
#define IDS_PANE_SECONDS_TEMPLATE 111
#define IDS_PANE_CURSOR_TEMPLATE  112
#define IDS_PANE_FRAMES_FORMAT    113
#define IDS_PANE_SECONDS_FORMAT   114
#define IDS_PANE_CURSOR_FORMAT    115
#define IDS_CANNOT_OPEN           116
#define IDS_UNTITLED              117
#define IDS_SAVE_CHANGES          118

// Commands: menu items, accelerators and toolbar buttons share these.
#define IDM_FILE_SAVE         32771
#define IDM_FILE_SAVE_AS      32772
#define IDM_FILE_EXIT         32773
#define IDM_EDIT_UNDO         32774
#define IDM_EDIT_CUT          32775
#define IDM_EDIT_COPY         32776
#define IDM_EDIT_PASTE        32777
#define IDM_TOOL_PEN          32778
#define IDM_TOOL_LINE         32779
#define IDM_TOOL_RECT         32780
#define IDM_TOOL_ELLIPSE      32781
#define IDM_TOOL_FILLELLIPSE  32783
#define IDM_TOOL_ERASER       32784
#define IDM_TOOL_TEXT         32785
#define IDM_PEN_WIDTH         32786
#define IDM_COLOR             32787
#define IDM_PLAY              32788
#define IDM_STOP              32789
#define IDM_NEXT_FRAME        32791
#define IDM_FIRST_FRAME       32793
#define IDM_LAST_FRAME        32794
#define IDM_TOOL_FILLRECT     32795
#define IDM_HELP_ABOUT        32796
#define IDM_PREV_FRAME        32797
#define IDM_FILE_OPEN         32798
#define IDM_COMPRESS_OPTIONS  32799
#define IDM_GOTO_FIGURE_END   32800
#define IDM_GOTO_FIGURE_START 32801
#define IDM_RECENT_FIRST      57616
#define IDM_RECENT_LAST       57631
#define IDM_SET_FIGURE_START  57632
#define IDM_SET_FIGURE_END    57633

// Strings of our own beyond the tables: the file dialog's filter names, the failed save, long work and its limits.
#define IDS_FILTER_AVI  119
#define IDS_FILTER_ALL  120
#define IDS_CANNOT_SAVE 121
#define IDS_OPENING     122
#define IDS_SAVING      123
#define IDS_TOO_LARGE   124
#define IDS_NO_ROOM     125
