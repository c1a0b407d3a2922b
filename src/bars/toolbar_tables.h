// Button tables of the three toolbars. The bars are filled from them, and the interface refresh
// walks exactly these rows to set every button's state.
#pragma once

#include <windows.h>
#include <commctrl.h>

// One row of a compact command table: the command and where its image comes from.
struct BarCommand {
    WORD idCommand;
    BYTE bKind;  // image source, mapped to an image index per bar
    BYTE iImage; // image number within that source
};

// Index lists of row numbers: BAR_SEPARATOR stands for a separator, BAR_END ends the list.
enum : BYTE { BAR_SEPARATOR = 0xFF, BAR_END = 0xFE };

constexpr int STD_BAR_ROWS = 7;
constexpr int PLAY_BAR_ROWS = 8;
constexpr int DRAW_BAR_BUTTONS = 10;

extern const BarCommand aStdBarCommands[STD_BAR_ROWS];
extern const BYTE abStdBarList[];
extern const BarCommand aPlayBarCommands[PLAY_BAR_ROWS];
extern const BYTE abPlayBarList[];
extern const TBBUTTON atbDrawButtons[DRAW_BAR_BUTTONS];
