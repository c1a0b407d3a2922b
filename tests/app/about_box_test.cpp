// The about box opened from the Help menu: its web-address line is a link while the box is open.
#include "app/about_box.h"
#include "app/app_state.h"
#include "resources/resource.h"
#include "support/program_test.h"

namespace {

struct LinkLook {
    bool fSubclassed = false;
    bool fNullBrush = false;
    bool fUnderlined = false;
    COLORREF crText = 0;
    int nBkMode = 0;
    bool fDialogAnswersWithTheBrush = false;
    HCURSOR hcurSystemHand = NULL;
    HCURSOR hcurOwnHand = NULL;
};

LinkLook InspectLink(HWND hdlg)
{
    LinkLook look;
    HWND hwndLink = GetDlgItem(hdlg, IDC_ABOUT_LINK);
    look.fSubclassed = GetWindowLongPtrA(hwndLink, GWLP_WNDPROC) == (LONG_PTR)LinkWndProc;

    HDC hdc = CreateCompatibleDC(NULL);
    HGDIOBJ hfontBefore = GetCurrentObject(hdc, OBJ_FONT);
    HBRUSH hbr = (HBRUSH)SendMessageA(hwndLink, WM_USER + 500, (WPARAM)hdc, (LPARAM)hwndLink);
    look.fNullBrush = hbr == GetStockObject(NULL_BRUSH);
    LOGFONTA lf = {};
    GetObjectA(GetCurrentObject(hdc, OBJ_FONT), sizeof lf, &lf);
    look.fUnderlined = lf.lfUnderline != 0;
    look.crText = GetTextColor(hdc);
    look.nBkMode = GetBkMode(hdc);
    look.fDialogAnswersWithTheBrush =
        SendMessageA(hdlg, WM_CTLCOLORSTATIC, (WPARAM)hdc, (LPARAM)hwndLink) == (LRESULT)GetStockObject(NULL_BRUSH);
    SelectObject(hdc, hfontBefore);
    DeleteDC(hdc);

    LPARAM lHit = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    fHasHandCursor = 1;
    SendMessageA(hwndLink, WM_SETCURSOR, (WPARAM)hwndLink, lHit);
    look.hcurSystemHand = GetCursor();
    fHasHandCursor = 0;
    SendMessageA(hwndLink, WM_SETCURSOR, (WPARAM)hwndLink, lHit);
    look.hcurOwnHand = GetCursor();
    fHasHandCursor = 1;
    return look;
}

} // namespace

TEST_F(ProgramTest, AboutBoxShowsItsLinkAndEndsWithEscape)
{
    for (int nShowing = 0; nShowing < 2; nShowing++) {
        LinkLook look;
        robot.Expect([&](HWND hdlg) {
            look = InspectLink(hdlg);
            // Escape reaches the control with the focus (the box itself while the thread has none); the
            // dialog turns it into Cancel.
            PostMessageA(GetFocus() ? GetFocus() : hdlg, WM_KEYDOWN, VK_ESCAPE, 1);
        });
        Command(IDM_HELP_ABOUT);

        ASSERT_EQ(robot.Seen().size(), (size_t)nShowing + 1) << "the about box did not open";
        EXPECT_EQ(WidenAnsi(robot.Seen().back().strCaption), L"Pelto のバージョン情報");
        EXPECT_TRUE(look.fSubclassed);
        EXPECT_TRUE(look.fNullBrush);
        EXPECT_TRUE(look.fUnderlined) << "showing " << nShowing;
        EXPECT_EQ(look.crText, RGB(0, 0, 255));
        EXPECT_EQ(look.nBkMode, TRANSPARENT);
        EXPECT_TRUE(look.fDialogAnswersWithTheBrush);
        EXPECT_EQ(look.hcurSystemHand, LoadCursor(NULL, IDC_HAND));
        EXPECT_EQ(look.hcurOwnHand, LoadCursor(hInst, MAKEINTRESOURCE(IDC_CURSOR_HAND)));
        EXPECT_NE(look.hcurOwnHand, (HCURSOR)NULL);
    }
    // The box has ended: the main window is enabled and takes commands again.
    EXPECT_TRUE(IsWindowEnabled(hwndMain));
}
