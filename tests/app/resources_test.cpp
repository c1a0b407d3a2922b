// The resources cross-checked against the code that uses them: menu commands, tooltips, shortcuts and accelerators,
// the availability rule, dialog controls and message formats; the texts need no second copy here.
#include "app/app_state.h"
#include "app/command_state.h"
#include "bars/toolbar_tables.h"
#include "resources/resource.h"
#include "support/harness.h"

#include <map>
#include <set>

namespace {

std::map<UINT, std::string> ReadMenuTexts(HMENU hmenu)
{
    std::map<UINT, std::string> texts;
    for (int i = 0; i < GetMenuItemCount(hmenu); i++) {
        char sz[100] = "";
        GetMenuStringA(hmenu, i, sz, sizeof sz, MF_BYPOSITION);
        if (GetSubMenu(hmenu, i))
            texts.merge(ReadMenuTexts(GetSubMenu(hmenu, i)));
        else if (GetMenuItemID(hmenu, i) != 0)
            texts[GetMenuItemID(hmenu, i)] = sz;
    }
    return texts;
}

} // namespace

TEST_F(ProgramTest, MenusToolbarsAcceleratorsDialogsStringsAndTheRuleAgree)
{
    auto loadText = [](UINT id) {
        char sz[256] = "";
        LoadStringA(GetModuleHandleA(NULL), id, sz, sizeof sz);
        return std::string(sz);
    };
    std::map<UINT, std::string> menu = ReadMenuTexts(GetMenu(hwndMain));
    auto checkToolbarCommand = [&](UINT id) {
        std::string strText = loadText(id);
        EXPECT_TRUE(menu.count(id) && strText.find('\n') != std::string::npos && strText.back() != '\n')
            << "toolbar command " << id << " is in no menu or has no tooltip";
    };
    for (const BarCommand &row : aStdBarCommands)
        checkToolbarCommand(row.idCommand);
    for (const BarCommand &row : aPlayBarCommands)
        checkToolbarCommand(row.idCommand);
    for (const TBBUTTON &button : atbDrawButtons)
        checkToolbarCommand((UINT)button.idCommand);

    // Each shortcut a menu item shows after its tab is an accelerator of that command, and there are no others.
    std::map<std::pair<BYTE, WORD>, std::string> names = {{{FVIRTKEY, VK_SPACE}, "Space"}, {{0, '.'}, "Period"}};
    for (char chKey : std::string("COSVXZ"))
        names[{FVIRTKEY | FCONTROL, chKey}] = std::string("Ctrl+") + chKey;
    std::set<std::pair<UINT, std::string>> shown, accelerators;
    for (auto &[id, strText] : menu)
        if (strText.find('\t') != std::string::npos)
            shown.insert({id, strText.substr(strText.find('\t') + 1)});
    std::vector<ACCEL> accels(CopyAcceleratorTableA(haccel, NULL, 0));
    CopyAcceleratorTableA(haccel, accels.data(), (int)accels.size());
    for (const ACCEL &accel : accels)
        accelerators.insert({accel.cmd, names[{accel.fVirt & (FVIRTKEY | FCONTROL | FSHIFT | FALT), accel.key}]});
    EXPECT_EQ(shown, accelerators);

    // Opening a menu greys and checks its items by the rule, keeps their texts and the resource's recent-file entry;
    // with a file open and an undo copy, the rule lets through exactly the menu's commands and the recent files.
    for (bool fFileOpen : {false, true}) {
        if (fFileOpen)
            OpenPattern(64, 48, 2);
        for (int nMenu = 0; nMenu < GetMenuItemCount(GetMenu(hwndMain)); nMenu++) {
            HMENU hmenu = GetSubMenu(GetMenu(hwndMain), nMenu);
            std::map<UINT, std::string> before = ReadMenuTexts(hmenu);
            SendMessageA(hwndMain, WM_INITMENUPOPUP, (WPARAM)hmenu, nMenu);
            EXPECT_EQ(ReadMenuTexts(hmenu), before);
            for (auto &[id, strText] : before) {
                BOOL fChecked, fAvailable = QueryCommandState(id, &fChecked);
                UINT uDue = id == IDM_RECENT_FIRST ? (UINT)MF_GRAYED
                                                   : (fAvailable ? 0u : (UINT)MF_GRAYED) | (fChecked ? MF_CHECKED : 0u);
                EXPECT_EQ(GetMenuState(hmenu, id, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED), uDue) << "command " << id;
            }
        }
    }
    fCanUndo = 1;
    for (UINT id = 0; id <= 0xFFFF; id++) {
        BOOL fChecked;
        bool fInMenu = menu.count(id) || (id >= IDM_RECENT_FIRST && id <= IDM_RECENT_LAST);
        EXPECT_EQ(QueryCommandState(id, &fChecked) != FALSE, fInMenu) << "command " << id;
    }

    // The dialogs hold the controls the code uses; the failure messages take the path as their only conversion.
    const std::pair<UINT, std::vector<int>> controls[] = {{IDD_ABOUTBOX, {IDOK, IDC_ABOUT_LINK}},
                                                          {IDD_TEXT, {IDOK, IDCANCEL, IDC_TEXT_EDIT, IDC_TEXT_FONT}},
                                                          {IDD_PENWIDTH, {IDOK, IDCANCEL, IDC_PENWIDTH_SLIDER}}};
    for (auto &[idDialog, aidControls] : controls) {
        HWND hdlg = CreateDialogParamA(
            hInst, MAKEINTRESOURCEA(idDialog), NULL, [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
        ASSERT_NE(hdlg, (HWND)NULL) << "dialog " << idDialog;
        for (int id : aidControls)
            EXPECT_NE(GetDlgItem(hdlg, id), (HWND)NULL) << "control " << id << " of dialog " << idDialog;
        DestroyWindow(hdlg);
    }
    for (UINT id : {IDS_CANNOT_OPEN, IDS_CANNOT_SAVE}) {
        std::string strFormat = loadText(id), strLetters;
        for (size_t i = strFormat.find('%'); i != std::string::npos; i = strFormat.find('%', i + 1)) {
            i = strFormat.find_first_not_of("0123456789.-", i + 1);
            strLetters += strFormat[i];
        }
        EXPECT_EQ(strLetters, "s") << "string " << id << ": " << strFormat;
    }
}
