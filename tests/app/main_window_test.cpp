// The program shell driven as a user drives it: menus opening, accelerator keys, tooltips, the title,
// the about box and closing the window.
#include "app/about_box.h"
#include "app/app_state.h"
#include "app/command_state.h"
#include "app/title.h"
#include "resources/resource.h"
#include "support/program_test.h"

#include <commctrl.h>

#include <map>

namespace {

// Records the commands that reach the main window, then lets the window handle them.
std::vector<UINT> commandsSeen;
WNDPROC lpfnMainProc;

LRESULT CALLBACK SpyWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_COMMAND)
        commandsSeen.push_back(LOWORD(wParam));
    return CallWindowProcA(lpfnMainProc, hwnd, uMsg, wParam, lParam);
}

struct MenuItemState {
    UINT id;
    UINT uFlags;
    std::wstring wstrText;
};

std::vector<MenuItemState> ReadMenuItems(HMENU hmenu)
{
    std::vector<MenuItemState> items;
    for (int i = 0; i < GetMenuItemCount(hmenu); i++) {
        wchar_t wsz[100] = L"";
        GetMenuStringW(hmenu, i, wsz, 100, MF_BYPOSITION);
        items.push_back({GetMenuItemID(hmenu, i), GetMenuState(hmenu, i, MF_BYPOSITION), wsz});
    }
    return items;
}

// Opens a drop-down menu of the menu bar with its mnemonic, as Alt and the letter do, and reads its
// items while it is open; the menu is then closed again.
HMENU hmenuOpened;
std::vector<MenuItemState> itemsWhileOpen;

void CALLBACK ReadOpenMenuProc(HWND, UINT, UINT_PTR idEvent, DWORD)
{
    KillTimer(NULL, idEvent);
    itemsWhileOpen = ReadMenuItems(hmenuOpened);
    EndMenu();
}

std::vector<MenuItemState> OpenMenuAndRead(int nPosition, char chMnemonic)
{
    hmenuOpened = GetSubMenu(GetMenu(hwndMain), nPosition);
    itemsWhileOpen.clear();
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    SetTimer(NULL, 0, 30, ReadOpenMenuProc);
    SendMessageA(hwndMain, WM_SYSCOMMAND, SC_KEYMENU, chMnemonic);
    return itemsWhileOpen;
}

class MainWindowTest : public ProgramTest {
protected:
    void TearDown() override
    {
        pavisVideo = NULL;
        fCanUndo = 0;
        fModified = 0;
        nTool = TOOL_PEN;
        szFileName[0] = '\0';
        ProgramTest::TearDown();
    }
};

} // namespace

TEST_F(MainWindowTest, OpeningEachMenuGreysAndChecksItsItems)
{
    static int nStandIn;
    const char achMnemonics[] = {'f', 'e', 'v', 'h'};
    struct Situation {
        bool fFileOpen;
        BYTE fUndo;
        int nTool;
    } aSituations[] = {{false, 0, TOOL_PEN}, {false, 1, TOOL_ERASER}, {true, 0, TOOL_TEXT}, {true, 1, TOOL_LINE}};

    for (const Situation &situation : aSituations) {
        pavisVideo = situation.fFileOpen ? (PAVISTREAM)&nStandIn : NULL;
        fCanUndo = situation.fUndo;
        nTool = situation.nTool;
        for (int nMenu = 0; nMenu < 4; nMenu++) {
            SCOPED_TRACE(testing::Message() << "menu " << nMenu << " file " << situation.fFileOpen << " undo "
                                            << (int)situation.fUndo << " tool " << situation.nTool);
            std::vector<MenuItemState> items = OpenMenuAndRead(nMenu, achMnemonics[nMenu]);
            ASSERT_FALSE(items.empty()) << "the menu did not open";
            for (const MenuItemState &item : items) {
                if (item.id == 0 || item.id == (UINT)-1)
                    continue;
                if (item.id == IDM_RECENT_FIRST) {
                    // Left as the resource has it until the recent file list exists.
                    EXPECT_EQ(item.uFlags & (MF_GRAYED | MF_CHECKED), (UINT)MF_GRAYED);
                    EXPECT_EQ(item.wstrText, L"");
                    continue;
                }
                bool fGreyExpected = !situation.fFileOpen && item.id != IDM_FILE_OPEN &&
                                     item.id != IDM_FILE_EXIT && item.id != IDM_HELP_ABOUT;
                if (item.id == IDM_EDIT_UNDO)
                    fGreyExpected = !situation.fUndo;
                const UINT aidTools[] = {IDM_TOOL_PEN,      IDM_TOOL_LINE,        IDM_TOOL_RECT,   IDM_TOOL_ELLIPSE,
                                         IDM_TOOL_FILLRECT, IDM_TOOL_FILLELLIPSE, IDM_TOOL_ERASER, IDM_TOOL_TEXT};
                bool fCheckExpected = item.id == aidTools[situation.nTool];
                EXPECT_EQ((item.uFlags & MF_GRAYED) != 0, fGreyExpected) << "item " << item.id;
                EXPECT_EQ((item.uFlags & MF_CHECKED) != 0, fCheckExpected) << "item " << item.id;
            }
        }
    }
}

TEST_F(MainWindowTest, MenusKeepTheirTextsWhenRefreshed)
{
    std::vector<MenuItemState> before = ReadMenuItems(GetSubMenu(GetMenu(hwndMain), 0));
    std::vector<MenuItemState> after = OpenMenuAndRead(0, 'f');
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i < before.size(); i++) {
        EXPECT_EQ(before[i].id, after[i].id);
        EXPECT_EQ(before[i].wstrText, after[i].wstrText);
    }
    EXPECT_EQ(after[0].wstrText, L"開く(&O)...\tCtrl+O");
}

// Posts a key to the window with the focus, as the keyboard does, and lets the program's loop take it.
static void PressKey(UINT uMsg, WPARAM wKey, bool fControl)
{
    BYTE abKeys[256];
    GetKeyboardState(abKeys);
    abKeys[VK_CONTROL] = fControl ? 0x80 : 0;
    SetKeyboardState(abKeys);
    PostMessageA(GetFocus() ? GetFocus() : hwndMain, uMsg, wKey, 1);
}

static void ReleaseControlKey()
{
    BYTE abKeys[256];
    GetKeyboardState(abKeys);
    abKeys[VK_CONTROL] = 0;
    SetKeyboardState(abKeys);
}

TEST_F(MainWindowTest, AcceleratorKeysReachTheirCommands)
{
    struct Key {
        UINT uMsg;
        WPARAM wKey;
        bool fControl;
        UINT idCommand;
    } aKeys[] = {
        {WM_KEYDOWN, VK_SPACE, false, IDM_PLAY},   {WM_CHAR, '.', false, IDM_STOP},
        {WM_KEYDOWN, 'C', true, IDM_EDIT_COPY},    {WM_KEYDOWN, 'O', true, IDM_FILE_OPEN},
        {WM_KEYDOWN, 'S', true, IDM_FILE_SAVE},    {WM_KEYDOWN, 'V', true, IDM_EDIT_PASTE},
        {WM_KEYDOWN, 'X', true, IDM_EDIT_CUT},     {WM_KEYDOWN, 'Z', true, IDM_EDIT_UNDO},
        {WM_KEYDOWN, 'C', false, 0},               {WM_CHAR, ',', false, 0},
    };
    lpfnMainProc = (WNDPROC)SetWindowLongPtrA(hwndMain, GWLP_WNDPROC, (LONG_PTR)SpyWndProc);
    // With no file open only the open command gets through: the others are greyed.
    for (int fFileOpen = 0; fFileOpen <= 1; fFileOpen++) {
        if (fFileOpen)
            UseVideoStream();
        for (const Key &key : aKeys) {
            SCOPED_TRACE(testing::Message() << "key " << key.wKey << " control " << key.fControl << " file "
                                            << fFileOpen);
            commandsSeen.clear();
            // Each command finds the same state: undo available, nothing to save.
            fCanUndo = (BYTE)fFileOpen;
            fModified = 0;
            PressKey(key.uMsg, key.wKey, key.fControl);
            Pump();
            ReleaseControlKey();
            bool fReaches = key.idCommand == IDM_FILE_OPEN || (fFileOpen && key.idCommand != 0);
            if (fReaches)
                EXPECT_EQ(commandsSeen, std::vector<UINT>{key.idCommand});
            else
                EXPECT_TRUE(commandsSeen.empty());
        }
    }
    SetWindowLongPtrA(hwndMain, GWLP_WNDPROC, (LONG_PTR)lpfnMainProc);
}

TEST_F(MainWindowTest, SpaceAndPeriodPlayAndStopOnlyWithAFileOpen)
{
    PressKey(WM_KEYDOWN, VK_SPACE, false);
    Pump();
    EXPECT_FALSE(fPlaying);
    UseVideoStream();
    PressKey(WM_KEYDOWN, VK_SPACE, false);
    Pump();
    EXPECT_TRUE(fPlaying);
    PressKey(WM_CHAR, '.', false);
    Pump();
    EXPECT_FALSE(fPlaying);
}

TEST_F(MainWindowTest, ToolbarTooltipsAnswerTheSecondLine)
{
    struct Case {
        UINT_PTR idButton;
        const wchar_t *pwszExpected;
    } aCases[] = {
        {IDM_FILE_OPEN, L"開く"},
        {IDM_TOOL_FILLRECT, L"塗りつぶした長方形"},
        {IDM_HELP_ABOUT, L"バージョン情報を表示"}, // no tooltip part: the whole text
        {IDM_RECENT_FIRST + 3, L"指定のファイルを開く"},
    };
    for (const Case &c : aCases) {
        NMTTDISPINFOA di = {};
        di.hdr.hwndFrom = hwndMain;
        di.hdr.idFrom = c.idButton;
        di.hdr.code = TTN_NEEDTEXTA;
        SendMessageA(hwndMain, WM_NOTIFY, c.idButton, (LPARAM)&di);
        EXPECT_EQ(WidenAnsi(di.szText), c.pwszExpected) << "button " << c.idButton;
    }

    // A string that has none leaves the request as it was.
    NMTTDISPINFOA di = {};
    di.hdr.idFrom = 4242;
    di.hdr.code = TTN_NEEDTEXTA;
    lstrcpyA(di.szText, "unchanged");
    SendMessageA(hwndMain, WM_NOTIFY, 0, (LPARAM)&di);
    EXPECT_STREQ(di.szText, "unchanged");
}

TEST_F(MainWindowTest, LongTooltipIsCutAtItsBuffer)
{
    // String 60001 of the test program: a help line and a tooltip of 100 characters.
    NMTTDISPINFOA di = {};
    di.hdr.idFrom = 60001;
    di.hdr.code = TTN_NEEDTEXTA;
    memset(di.szText, 'x', sizeof di.szText);
    SendMessageA(hwndMain, WM_NOTIFY, 0, (LPARAM)&di);
    EXPECT_EQ(std::string(di.szText), std::string(79, 'T'));
}

TEST_F(MainWindowTest, TitleNamesTheDocumentAndItsMark)
{
    struct Case {
        const char *pszFile;
        BYTE fMod;
        const wchar_t *pwszTitle;
    } aCases[] = {
        {"", 0, L"無題 - Pelto"},
        {"", 1, L"無題 * - Pelto"},
        {"C:\\video\\clip.avi", 0, L"C:\\video\\clip.avi - Pelto"},
        // Shift-JIS with a trail byte 0x5C in both names: "C:\表\ソ.avi".
        {"C:\\\x95\x5C\\\x83\x5C.avi", 1, L"C:\\表\\ソ.avi * - Pelto"},
    };
    EXPECT_EQ(GetWindowTextWide(hwndMain), L"Pelto");
    for (const Case &c : aCases) {
        lstrcpyA(szFileName, c.pszFile);
        fModified = c.fMod;
        UpdateTitle();
        EXPECT_EQ(GetWindowTextWide(hwndMain), c.pwszTitle);
    }
}

TEST_F(MainWindowTest, ToolCommandsNeedAFileAndCheckTheirTool)
{
    Command(IDM_TOOL_ELLIPSE);
    EXPECT_EQ(nTool, TOOL_PEN);
    static int nStandIn;
    pavisVideo = (PAVISTREAM)&nStandIn;
    const std::pair<UINT, int> aTools[] = {{IDM_TOOL_ELLIPSE, TOOL_ELLIPSE}, {IDM_TOOL_FILLRECT, TOOL_FILLRECT},
                                           {IDM_TOOL_TEXT, TOOL_TEXT},       {IDM_TOOL_PEN, TOOL_PEN}};
    for (auto [id, nExpected] : aTools) {
        Command(id);
        EXPECT_EQ(nTool, nExpected);
    }
    // Unknown identifiers are ignored.
    Command(32790);
    Command(40000);
    EXPECT_EQ(nTool, TOOL_PEN);
    EXPECT_TRUE(IsWindow(hwndMain));
}
