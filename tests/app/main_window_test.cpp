// The program shell as a user meets it: the about box, keys through the message loop's accelerators, and closing
// the window.
#include "app/about_box.h"
#include "app/app_state.h"
#include "resources/resource.h"
#include "support/harness.h"

using MainWindowTest = ProgramTest;

TEST_F(MainWindowTest, TheAboutLinkAndKeysWorkAndExitEndsWithZero)
{
    // The link is subclassed anew each time the box shows.
    for (int nShowing = 0; nShowing < 2; nShowing++) {
        robot.Expect([](HWND hdlg) {
            EXPECT_EQ(GetWindowLongPtrA(GetDlgItem(hdlg, IDC_ABOUT_LINK), GWLP_WNDPROC), (LONG_PTR)LinkWndProc);
            PostMessageA(GetFocus() ? GetFocus() : hdlg, WM_KEYDOWN, VK_ESCAPE, 1);
        });
        Command(IDM_HELP_ABOUT);
    }
    auto press = [this](UINT uMsg, WPARAM wKey, BYTE bControl) {
        BYTE abKeys[256] = {};
        abKeys[VK_CONTROL] = bControl;
        SetKeyboardState(abKeys);
        PostMessageA(GetFocus() ? GetFocus() : hwndMain, uMsg, wKey, 1);
        Pump();
    };
    press(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_FALSE(fPlaying) << "played without a file";
    OpenPattern(240, 16, 20);
    press(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(fPlaying);
    press(WM_CHAR, '.', 0);
    EXPECT_FALSE(fPlaying);
    robot.ExpectButton(IDCANCEL); // Ctrl+O: the open dialog
    press(WM_KEYDOWN, 'O', 0x80);
    press(WM_KEYUP, VK_CONTROL, 0);
    Command(IDM_FILE_EXIT);
    EXPECT_EQ(nExitCode, 0);
}
