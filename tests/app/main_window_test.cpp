// The program shell as a user meets it: keys through the message loop's accelerators, tooltips, the about box
// and closing the window.
#include "app/about_box.h"
#include "app/app_state.h"
#include "resources/resource.h"
#include "support/harness.h"

#include <commctrl.h>

namespace {

using MainWindowTest = ProgramTest;

void PressKey(UINT uMsg, WPARAM wKey, bool fControl)
{
    BYTE abKeys[256];
    GetKeyboardState(abKeys);
    abKeys[VK_CONTROL] = fControl ? 0x80 : 0;
    SetKeyboardState(abKeys);
    PostMessageA(GetFocus() ? GetFocus() : hwndMain, uMsg, wKey, 1);
}

std::string ToolTipOf(UINT_PTR id)
{
    NMTTDISPINFOA di = {};
    di.hdr.idFrom = id;
    di.hdr.code = TTN_NEEDTEXTA;
    lstrcpyA(di.szText, "unchanged");
    SendMessageA(hwndMain, WM_NOTIFY, id, (LPARAM)&di);
    return di.szText;
}

} // namespace

TEST_F(MainWindowTest, KeysReachTheirCommandsThroughTheLoop)
{
    PressKey(WM_KEYDOWN, VK_SPACE, false);
    Pump();
    EXPECT_FALSE(fPlaying) << "played without a file";
    OpenPattern(240, 16, 20);
    PressKey(WM_KEYDOWN, VK_SPACE, false);
    Pump();
    EXPECT_TRUE(fPlaying);
    PressKey(WM_CHAR, '.', false);
    Pump();
    EXPECT_FALSE(fPlaying);
    robot.ExpectButton(IDCANCEL);
    PressKey(WM_KEYDOWN, 'O', true);
    Pump();
    PressKey(WM_KEYUP, VK_CONTROL, false);
    EXPECT_EQ(robot.Seen().size(), 1u) << "Ctrl+O opened no dialog";
}

TEST_F(MainWindowTest, ToolTipsAnswerTheSecondLineOfTheCommandsString)
{
    EXPECT_EQ(WidenAnsi(ToolTipOf(IDM_TOOL_FILLRECT)), L"塗りつぶした長方形");
    EXPECT_EQ(WidenAnsi(ToolTipOf(IDM_HELP_ABOUT)), L"バージョン情報を表示") << "a string of one line";
    EXPECT_EQ(ToolTipOf(4242), "unchanged") << "a command without a string";
    // String 60001 of the test program: a help line and a tooltip of 100 characters, cut to its buffer.
    EXPECT_EQ(ToolTipOf(60001), std::string(79, 'T'));
}

TEST_F(MainWindowTest, AboutBoxLinkIsSubclassedEachTimeAndEscapeEndsIt)
{
    for (int nShowing = 0; nShowing < 2; nShowing++) {
        bool fSubclassed = false;
        HCURSOR hcurOverLink = NULL;
        robot.Expect([&](HWND hdlg) {
            HWND hwndLink = GetDlgItem(hdlg, IDC_ABOUT_LINK);
            fSubclassed = GetWindowLongPtrA(hwndLink, GWLP_WNDPROC) == (LONG_PTR)LinkWndProc;
            SendMessageA(hwndLink, WM_SETCURSOR, (WPARAM)hwndLink, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            hcurOverLink = GetCursor();
            PostMessageA(GetFocus() ? GetFocus() : hdlg, WM_KEYDOWN, VK_ESCAPE, 1);
        });
        Command(IDM_HELP_ABOUT);
        EXPECT_TRUE(fSubclassed) << "showing " << nShowing;
        EXPECT_EQ(hcurOverLink, LoadCursor(NULL, IDC_HAND));
    }
    EXPECT_TRUE(IsWindowEnabled(hwndMain));
    Command(IDM_FILE_EXIT);
    EXPECT_TRUE(fEnded);
    EXPECT_EQ(nExitCode, 0);
}
