// The toolbars: what each bar holds and which command each button sends, the states and tooltips of the buttons,
// and the rebar's layout and the playback bar's stored state across a restart.
#include "app/app_state.h"
#include "resources/resource.h"
#include "support/harness.h"

#include <commctrl.h>

namespace {

using Buttons = std::vector<std::pair<int, int>>; // command and image; a separator is {0, -1}

Buttons ReadButtons(HWND hwndBar)
{
    Buttons buttons;
    for (int i = 0; i < (int)SendMessageA(hwndBar, TB_BUTTONCOUNT, 0, 0); i++) {
        TBBUTTON tbb = {};
        SendMessageA(hwndBar, TB_GETBUTTON, i, (LPARAM)&tbb);
        buttons.push_back({tbb.idCommand, (tbb.fsStyle & BTNS_SEP) ? -1 : tbb.iBitmap});
    }
    return buttons;
}

std::vector<UINT> ReadBandIds()
{
    std::vector<UINT> ids;
    REBARBANDINFOA rbbi = {};
    rbbi.cbSize = sizeof rbbi;
    rbbi.fMask = RBBIM_ID;
    for (int i = 0; SendMessageA(hwndRebar, RB_GETBANDINFOA, i, (LPARAM)&rbbi); i++)
        ids.push_back(rbbi.wID);
    return ids;
}

DWORD ReadSetting(const char *pszName)
{
    DWORD dwValue = 0xDEADBEEF, cb = sizeof dwValue;
    RegGetValueA(HKEY_CURRENT_USER, pszRegistryKey, pszName, RRF_RT_DWORD, NULL, &dwValue, &cb);
    return dwValue;
}

// Records the commands that reach the main window from a toolbar, and keeps them from running.
std::vector<int> aidSent;
WNDPROC pfnMainProc;
LRESULT CALLBACK RecordCommandProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_COMMAND && lParam) {
        aidSent.push_back(LOWORD(wParam));
        return 0;
    }
    return CallWindowProcA(pfnMainProc, hwnd, uMsg, wParam, lParam);
}

} // namespace

using ToolbarTest = ProgramTest;

TEST_F(ToolbarTest, EveryButtonShowsItsImageSendsItsCommandAndFollowsTheRuleAndTheRebarIsKept)
{
    const Buttons play = {
        {IDM_PLAY, 27},       {IDM_STOP, 28}, {IDM_PREV_FRAME, 29},       {IDM_FIRST_FRAME, 31},   {IDM_LAST_FRAME, 32},
        {IDM_NEXT_FRAME, 30}, {0, -1},        {IDM_SET_FIGURE_START, 33}, {IDM_SET_FIGURE_END, 34}};
    const Buttons standard = {{IDM_FILE_OPEN, STD_FILEOPEN}, {IDM_FILE_SAVE, STD_FILESAVE}, {IDM_EDIT_CUT, STD_CUT},
                              {IDM_EDIT_COPY, STD_COPY},     {IDM_EDIT_PASTE, STD_PASTE},   {IDM_EDIT_UNDO, STD_UNDO},
                              {IDM_COMPRESS_OPTIONS, 15}};
    Buttons drawing; // the tools in their order, then width and colour
    for (int i = 0; i < 10; i++)
        drawing.push_back({i < 8 ? aidTools[i] : i == 8 ? IDM_PEN_WIDTH : IDM_COLOR, i});
    const std::pair<HWND, Buttons> bars[] = {
        {hwndToolbarPlay, play}, {hwndToolbarStd, standard}, {hwndToolbarDraw, drawing}};
    for (auto &[hwndBar, buttons] : bars)
        EXPECT_EQ(ReadButtons(hwndBar), buttons);

    EXPECT_FALSE(SendMessageA(hwndToolbarPlay, TB_ISBUTTONENABLED, IDM_PLAY, 0)) << "no file yet";
    robot.ExpectText(MakeMedia("clip.avi", "-f lavfi -i testsrc=size=64x48:rate=10 -frames:v 4 -c:v rawvideo"));
    Command(IDM_FILE_OPEN);
    EXPECT_TRUE(SendMessageA(hwndToolbarPlay, TB_ISBUTTONENABLED, IDM_PLAY, 0));
    Command(IDM_TOOL_LINE);
    EXPECT_TRUE(SendMessageA(hwndToolbarDraw, TB_ISBUTTONCHECKED, IDM_TOOL_LINE, 0));
    EXPECT_FALSE(SendMessageA(hwndToolbarDraw, TB_ISBUTTONCHECKED, IDM_TOOL_PEN, 0));

    // A click on each button, as the mouse gives it, reaches the main window as the button's command. The button's
    // tooltip is the second line of its command's string, and the command is in a menu.
    fCanUndo = 1;
    Command(IDM_TOOL_PEN);
    pfnMainProc = (WNDPROC)SetWindowLongPtrA(hwndMain, GWLP_WNDPROC, (LONG_PTR)RecordCommandProc);
    for (auto &[hwndBar, buttons] : bars) {
        aidSent.clear();
        std::vector<int> aidDue;
        for (int i = 0; i < (int)buttons.size(); i++) {
            RECT rc;
            SendMessageA(hwndBar, TB_GETITEMRECT, i, (LPARAM)&rc);
            LPARAM lPoint = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
            SendMessageA(hwndBar, WM_LBUTTONDOWN, MK_LBUTTON, lPoint);
            SendMessageA(hwndBar, WM_LBUTTONUP, 0, lPoint);
            if (int id = buttons[i].first) {
                aidDue.push_back(id);
                char szTip[80] = "";
                TTTOOLINFOA ti = {sizeof ti, 0, hwndBar, (UINT_PTR)id, {}, NULL, szTip, 0, NULL};
                SendMessageA((HWND)SendMessageA(hwndBar, TB_GETTOOLTIPS, 0, 0), TTM_GETTEXTA, sizeof szTip,
                             (LPARAM)&ti);
                std::string strText = LoadText(id);
                EXPECT_TRUE(strText.find('\n') < strText.size() - 1 && szTip == strText.substr(strText.find('\n') + 1))
                    << "command " << id << ": " << szTip;
                EXPECT_NE(GetMenuState(GetMenu(hwndMain), id, MF_BYCOMMAND), ~0u) << "command " << id << " in no menu";
            }
        }
        Pump();
        EXPECT_EQ(aidSent, aidDue);
    }
    SetWindowLongPtrA(hwndMain, GWLP_WNDPROC, (LONG_PTR)pfnMainProc);
    fCanUndo = 0;

    // The user's change of the rebar, kept at exit and built again at the next start: none (the length must not
    // creep by the band border), the standard bar moved first, the second band put on a row of its own.
    const struct {
        UINT uMsg, fStyle;
        std::vector<UINT> bands;
        LRESULT cRows;
        DWORD dwSecondBar, dwRebarPos;
    } layouts[] = {{WM_NULL, 0, {IDC_DRAWBAR, IDC_STDBAR}, 1, 0, 150},
                   {RB_MOVEBAND, 0, {IDC_STDBAR, IDC_DRAWBAR}, 1, 1, 150},
                   {RB_SETBANDINFOA, RBBS_BREAK, {IDC_DRAWBAR, IDC_STDBAR}, 2, 0, 0}};
    for (const auto &layout : layouts) {
        SCOPED_TRACE(layout.uMsg);
        CloseProgram();
        DeleteSettingsKey();
        RestartProgram();
        HDC hdcView = GetDC(hwndView);
        SetPixel(hdcView, 0, 0, RGB(1, 2, 3)); // what a bar drawn there before the layout would leave
        REBARBANDINFOA rbbi = {};
        rbbi.cbSize = sizeof rbbi;
        rbbi.fMask = RBBIM_STYLE;
        rbbi.fStyle = layout.fStyle;
        SendMessageA(hwndRebar, layout.uMsg, 1, layout.uMsg == RB_MOVEBAND ? 0 : (LPARAM)&rbbi);
        // The rebar lays its bands out again when its size changes, as after a drag.
        RECT rc;
        GetWindowRect(hwndMain, &rc);
        SetWindowPos(hwndMain, NULL, 0, 0, rc.right - rc.left - 1, rc.bottom - rc.top, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(GetPixel(hdcView, 0, 0), GetSysColor(COLOR_APPWORKSPACE)) << "an empty view is painted anew";
        ReleaseDC(hwndView, hdcView);
        RestartProgram();
        EXPECT_EQ(ReadBandIds(), layout.bands);
        EXPECT_EQ(SendMessageA(hwndRebar, RB_GETROWCOUNT, 0, 0), layout.cRows);
        EXPECT_EQ(ReadSetting("SecondBar"), layout.dwSecondBar);
        EXPECT_EQ(ReadSetting("cxRebarPos"), layout.dwRebarPos);
    }

    // Another value than 0 and 1 leaves the rebar without bands, and the stored length is kept for a later start.
    CloseProgram();
    DWORD dwTwo = 2, dwPos = 77;
    RegSetKeyValueA(HKEY_CURRENT_USER, pszRegistryKey, "SecondBar", REG_DWORD, &dwTwo, 4);
    RegSetKeyValueA(HKEY_CURRENT_USER, pszRegistryKey, "cxRebarPos", REG_DWORD, &dwPos, 4);
    RestartProgram();
    EXPECT_EQ(ReadBandIds(), std::vector<UINT>());
    CloseProgram();
    EXPECT_EQ(ReadSetting("cxRebarPos"), 77u);

    // The playback bar takes a stored state of the platform's toolbar (one command a record, 0 a separator) only
    // with "ToolBarVersion" 1. Records of another form, such as the button records of a 32-bit build,
    // would leave it empty or jumbled: it keeps its own buttons.
    const DWORD adwNoStop[] = {IDM_PLAY, IDM_PREV_FRAME,       IDM_FIRST_FRAME,   IDM_LAST_FRAME, IDM_NEXT_FRAME,
                               0,        IDM_SET_FIGURE_START, IDM_SET_FIGURE_END};
    std::vector<BYTE> noStop((const BYTE *)adwNoStop, (const BYTE *)(adwNoStop + 8)), foreign = noStop;
    *(DWORD *)foreign.data() = 27; // an image number where the command stands, as in a 32-bit build's records
    const std::tuple<DWORD, std::vector<BYTE>, size_t> states[] = {
        {1, noStop, 8}, {0, noStop, 9}, {1, foreign, 9}, {1, std::vector<BYTE>(3, 0x55), 9}};
    for (auto &[dwVersion, state, cButtons] : states) {
        SCOPED_TRACE(testing::Message() << "version " << dwVersion << ", " << state.size() << " bytes, " << cButtons);
        CloseProgram();
        RegSetKeyValueA(HKEY_CURRENT_USER, pszRegistryKey, "ToolBarVersion", REG_DWORD, &dwVersion, 4);
        RegSetKeyValueA(HKEY_CURRENT_USER, pszRegistryKey, "ToolBarState", REG_BINARY, state.data(),
                        (DWORD)state.size());
        RestartProgram();
        Buttons buttons = ReadButtons(hwndToolbarPlay);
        ASSERT_EQ(buttons.size(), cButtons);
        EXPECT_EQ(buttons[1], play[cButtons == 8 ? 2 : 1]) << "a restored button keeps its image";
    }
}
