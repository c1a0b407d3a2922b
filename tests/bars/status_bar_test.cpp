// The status bar: pane widths from the templates with the grip's room, the frame and time panes following the
// position and the end of playback, the cursor pane only over the frame, and menu help while a menu is open.
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

TEST_F(ProgramTest, StatusBarShowsPositionCursorAndMenuHelp)
{
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

    OpenPattern(240, 16, 20);
    for (int i = 0; i < 3; i++)
        Command(IDM_NEXT_FRAME);
    EXPECT_EQ(GetPaneText(1).rfind("4/20 ", 0), 0u) << GetPaneText(1);
    EXPECT_EQ(GetPaneText(2).rfind("0.301/2.000 ", 0), 0u) << GetPaneText(2);
    POINT pt = {10, 5};
    ClientToScreen(hwndView, &pt);
    SetCursorPos(pt.x, pt.y);
    Pump();
    EXPECT_EQ(GetPaneText(3), "( 5, 10 )");
    SetCursorPos(pt.x, pt.y + 16); // below the frame, still over the view
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
}
