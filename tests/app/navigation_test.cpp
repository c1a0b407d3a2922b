// Moving through a video and marking the figure range with the View menu's commands, the keys and the position
// trackbar, at the edges of the video and of the range, with the status bar following: its frame and time panes, the
// cursor pane only over the frame, menu help while a menu is open, and pane widths from the templates with the grip's
// room. Around it the about box and the Exit command. The pattern has 20 frames at 10 a second: frame f starts at
// f * 100 ms.
#include "app/about_box.h"
#include "app/app_state.h"
#include "resources/resource.h"
#include "support/harness.h"

#include <commctrl.h>

namespace {

std::string GetPaneText(int nPane)
{
    char szText[256] = "";
    if (LOWORD(SendMessageA(hwndStatus, SB_GETTEXTLENGTHA, nPane, 0)) < sizeof szText / 2)
        SendMessageA(hwndStatus, SB_GETTEXTA, nPane, (LPARAM)szText);
    return szText;
}

} // namespace

using NavigationTest = ProgramTest;

TEST_F(NavigationTest, CommandsKeysAndTheThumbStopAtTheEndsOfTheVideoAndOfTheFigureRangeWithTheStatusBarFollowing)
{
    auto moveThumb = [this](LONG nPosition, UINT uCode = TB_THUMBTRACK, HWND hwndFrom = hwndTrackbar) {
        SendMessageA(hwndTrackbar, TBM_SETPOS, TRUE, nPosition);
        SendMessageA(hwndMain, WM_HSCROLL, MAKEWPARAM(uCode, LOWORD(nPosition)), (LPARAM)hwndFrom);
        Pump();
    };
    // The ticks the program set, without the two at the ends that the control always counts.
    auto readTicks = [] {
        std::vector<LRESULT> ticks;
        for (LRESULT i = 0; i + 2 < SendMessageA(hwndTrackbar, TBM_GETNUMTICS, 0, 0); i++)
            ticks.push_back(SendMessageA(hwndTrackbar, TBM_GETTIC, i, 0));
        return ticks;
    };
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(GetPaneText(i), "") << "pane " << i << " right after start";
    int aEdges[4];
    RECT rc;
    for (int cx : {600, 100}) { // a narrow window leaves pane 0 four pixels and lets the others run past the edge
        SetWindowPos(hwndMain, NULL, 0, 0, cx, 300, SWP_NOMOVE | SWP_NOZORDER);
        GetClientRect(hwndMain, &rc);
        ASSERT_EQ(SendMessageA(hwndStatus, SB_GETPARTS, 4, (LPARAM)aEdges), 4);
        EXPECT_EQ(aEdges[0], std::max(4L, rc.right - (aEdges[3] - aEdges[0]) - 16)) << cx;
    }
    // Panes 1 to 3 are as wide as their templates in the bar's own font, plus 8 pixels.
    HDC hdc = GetDC(NULL);
    HGDIOBJ hfontOld = SelectObject(hdc, (HFONT)SendMessageA(hwndStatus, WM_GETFONT, 0, 0));
    for (int i = 1; i < 4; i++) {
        std::string strTemplate = LoadText(IDS_PANE_FRAMES_TEMPLATE + i - 1);
        SIZE size;
        GetTextExtentPoint32A(hdc, strTemplate.c_str(), (int)strTemplate.size(), &size);
        EXPECT_EQ(aEdges[i] - aEdges[i - 1], size.cx + 8) << "pane " << i;
    }
    SelectObject(hdc, hfontOld);
    ReleaseDC(NULL, hdc);
    // The about box's link is subclassed anew each time the box shows.
    for (int nShowing = 0; nShowing < 2; nShowing++) {
        robot.Expect([](HWND hdlg) {
            EXPECT_EQ(GetWindowLongPtrA(GetDlgItem(hdlg, IDC_ABOUT_LINK), GWLP_WNDPROC), (LONG_PTR)LinkWndProc);
            PostMessageA(GetFocus() ? GetFocus() : hdlg, WM_KEYDOWN, VK_ESCAPE, 1);
        });
        Command(IDM_HELP_ABOUT);
    }
    // Without a file nothing moves: a position left behind stays where it is.
    lCurTime = 500;
    for (UINT id : {IDM_GOTO_FIGURE_END, IDM_NEXT_FRAME, IDM_PREV_FRAME, IDM_LAST_FRAME, IDM_SET_FIGURE_START})
        Command(id);
    moveThumb(5);
    EXPECT_EQ(std::make_pair((LONG)lCurTime, nFigureStart), std::make_pair(500L, -1L));
    EXPECT_FALSE(IsWindowEnabled(hwndTrackbar));
    SetFocus(hwndView);
    OpenPattern(240, 16, 20);
    EXPECT_EQ(SendMessageA(hwndTrackbar, TBM_GETRANGEMAX, 0, 0), 19);
    EXPECT_EQ(GetFocus(), hwndTrackbar);
    EXPECT_EQ(readTicks(), std::vector<LRESULT>()) << "the whole video as the range draws no ticks";
    // Keys go through the message loop's accelerators: Space plays, the period stops.
    const std::tuple<UINT, WPARAM, bool> aKeys[] = {{WM_KEYDOWN, VK_SPACE, true}, {WM_CHAR, '.', false}};
    for (auto [uMsg, wKey, fPlays] : aKeys) {
        PostMessageA(GetFocus() ? GetFocus() : hwndMain, uMsg, wKey, 1);
        Pump();
        EXPECT_EQ(fPlaying != FALSE, fPlays) << "key " << wKey;
    }
    // A command or a trackbar scroll code (below 16) with the thumb's place: a frame is entered 1 ms past its start,
    // and the panes show the frame counted from 1 and the time in seconds.
    const std::tuple<UINT, LONG, LONG, LONG> aCases[] = {
        {IDM_GOTO_FIGURE_END, 0, 19, 1901}, // right after the open the figure range is the whole video
        {IDM_FIRST_FRAME, 0, 0, 0},         {IDM_NEXT_FRAME, 0, 1, 101},      {IDM_PREV_FRAME, 0, 0, 1},
        {IDM_PREV_FRAME, 0, 0, 0},          {IDM_LAST_FRAME, 0, 19, 1999},    {IDM_NEXT_FRAME, 0, 19, 1999},
        {IDM_PREV_FRAME, 0, 18, 1801},      {IDM_NEXT_FRAME, 0, 19, 1901},    {IDM_GOTO_FIGURE_START, 0, 0, 1},
        {TB_THUMBTRACK, 7, 7, 701},         {TB_THUMBPOSITION, 12, 12, 1201}, {TB_PAGEUP, 3, 3, 301},
        {TB_BOTTOM, 19, 19, 1901},          {TB_ENDTRACK, 5, 19, 1901}, // not a move
    };
    for (auto [id, nPosition, lFrame, lTime] : aCases) {
        id < 16 ? moveThumb(nPosition, id) : Command(id);
        EXPECT_EQ(std::make_pair((LONG)lCurTime, lCurFrame), std::make_pair(lTime, lFrame)) << "after " << id;
        std::string strTime = std::to_string(lTime / 1000) + "." + std::to_string(1000 + lTime % 1000).substr(1);
        EXPECT_EQ(GetPaneText(1).rfind(std::to_string(lFrame + 1) + "/20 ", 0), 0u) << GetPaneText(1);
        EXPECT_EQ(GetPaneText(2).rfind(strTime + "/2.000 ", 0), 0u) << GetPaneText(2);
    }
    moveThumb(9, TB_THUMBTRACK, NULL);
    EXPECT_EQ(lCurFrame, 19) << "another sender";
    SendMessageA(hwndTrackbar, WM_KEYDOWN, VK_HOME, 1);
    Pump();
    EXPECT_EQ(lCurFrame, 0) << "a key on the trackbar";
    POINT pt = {10, 5};
    ClientToScreen(hwndView, &pt);
    SetCursorPos(pt.x, pt.y);
    Pump();
    EXPECT_EQ(GetPaneText(3), "( 5, 10 )");
    RECT rcMain; // a window made taller than the frame: below the frame is still over the view
    GetWindowRect(hwndMain, &rcMain);
    SetWindowPos(hwndMain, NULL, 0, 0, rcMain.right - rcMain.left, rcMain.bottom - rcMain.top + 40,
                 SWP_NOMOVE | SWP_NOZORDER);
    SetCursorPos(pt.x, pt.y + 16);
    Pump();
    EXPECT_EQ(GetPaneText(3), "");
    Command(IDM_PLAY);
    EXPECT_TRUE(PumpUntil([] { return !fPlaying; }));
    EXPECT_EQ(GetPaneText(2).rfind("1.999/2.000 ", 0), 0u) << "at the end: " << GetPaneText(2);
    std::string strHelp = LoadText(IDM_FILE_OPEN);
    SendMessageA(hwndMain, WM_MENUSELECT, MAKEWPARAM(IDM_FILE_OPEN, MF_STRING),
                 (LPARAM)GetSubMenu(GetMenu(hwndMain), 0));
    EXPECT_TRUE(SendMessageA(hwndStatus, SB_ISSIMPLE, 0, 0));
    EXPECT_EQ(GetPaneText(0), strHelp.substr(0, strHelp.find('\n'))); // the simple pane reads back as pane 0
    SendMessageA(hwndMain, WM_MENUSELECT, MAKEWPARAM(SC_CLOSE, MF_SYSMENU), (LPARAM)GetSystemMenu(hwndMain, FALSE));
    EXPECT_EQ(GetPaneText(0), "") << "a system command has no help of ours";
    SendMessageA(hwndMain, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0); // the menu closed
    EXPECT_FALSE(SendMessageA(hwndStatus, SB_ISSIMPLE, 0, 0));
    EXPECT_EQ(GetPaneText(1).rfind("20/20 ", 0), 0u);

    // Two marks after a reset to the whole video: a start after the end, or an end before the start, is refused.
    const std::tuple<std::pair<LONG, UINT>, std::pair<LONG, UINT>, LONG, LONG> aRanges[] = {
        {{5, IDM_SET_FIGURE_END}, {8, IDM_SET_FIGURE_START}, 0, 5},
        {{5, IDM_SET_FIGURE_END}, {5, IDM_SET_FIGURE_START}, 5, 5},
        {{12, IDM_SET_FIGURE_START}, {7, IDM_SET_FIGURE_END}, 12, 19},
        {{3, IDM_SET_FIGURE_START}, {9, IDM_SET_FIGURE_END}, 3, 9},
    };
    for (auto [first, second, nStart, nEnd] : aRanges) {
        const std::pair<LONG, UINT> steps[] = {{0, IDM_SET_FIGURE_START}, {19, IDM_SET_FIGURE_END}, first, second};
        for (auto [nFrame, id] : steps) {
            moveThumb(nFrame);
            Command(id);
        }
        // The go-to commands land on the range's ends, one millisecond into the frame.
        Command(IDM_GOTO_FIGURE_START);
        LONG lStartTime = lCurTime;
        Command(IDM_GOTO_FIGURE_END);
        EXPECT_EQ(std::make_tuple(nFigureStart, nFigureEnd, readTicks(), lStartTime, (LONG)lCurTime),
                  std::make_tuple(nStart, nEnd, std::vector<LRESULT>{nStart, nEnd}, nStart * 100 + 1, nEnd * 100 + 1));
    }
    // An end that is not set moves nothing (a beep, no dialog).
    nFigureEnd = -1;
    Command(IDM_GOTO_FIGURE_END);
    EXPECT_EQ(lCurTime, 901);

    // Every frame of a long video has a thumb position of its own, and a video of no frames has none.
    AviSpec spec;
    spec.cx = 240, spec.cy = 1, spec.cFrames = 70000, spec.dwRate = 100;
    ASSERT_TRUE(MakeAviFile(AddFile("long.avi"), spec));
    OpenFile(strTempDir + "long.avi");
    for (LONG nPosition : {32768L, 65535L, 65536L, 69999L}) {
        moveThumb(nPosition);
        EXPECT_EQ(std::make_pair(lCurFrame, (LONG)SendMessageA(hwndTrackbar, TBM_GETPOS, 0, 0)),
                  std::make_pair(nPosition, nPosition));
    }
    spec.cFrames = 0;
    ASSERT_TRUE(MakeAviFile(AddFile("empty.avi"), spec));
    OpenFile(strTempDir + "empty.avi");
    EXPECT_EQ(SendMessageA(hwndTrackbar, TBM_GETRANGEMAX, 0, 0), 0);
    for (UINT uCode : {TB_THUMBTRACK, TB_BOTTOM}) {
        moveThumb(0, uCode);
        EXPECT_EQ(lCurTime, 0);
    }
    EXPECT_EQ(nFigureEnd, -1) << "a video of no frames gives the figure range no end";
    Command(IDM_FILE_EXIT);
    EXPECT_EQ(nExitCode, 0);
}
