// The program shell: the about box, keys through the message loop's accelerators, and the Exit command.
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
    OpenPattern(240, 16, 20);
    const std::tuple<UINT, WPARAM, bool> aKeys[] = {{WM_KEYDOWN, VK_SPACE, true}, {WM_CHAR, '.', false}};
    for (auto [uMsg, wKey, fPlays] : aKeys) {
        PostMessageA(GetFocus() ? GetFocus() : hwndMain, uMsg, wKey, 1);
        Pump();
        EXPECT_EQ(fPlaying != FALSE, fPlays) << "key " << wKey;
    }
    Command(IDM_FILE_EXIT);
    EXPECT_EQ(nExitCode, 0);
}
