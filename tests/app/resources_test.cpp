// The resources cross-checked against the code that uses them: menu commands, shortcuts and accelerators and the
// availability rule; the texts need no second copy here. The toolbars' tooltips, the dialogs and the messages are
// driven by their own tests.
#include "app/app_state.h"
#include "app/command_state.h"
#include "resources/resource.h"
#include "support/harness.h"

#include <map>
#include <set>

namespace {

// The commands of a menu and their texts, without the recent files (the list's own, tested with it).
std::map<UINT, std::string> ReadMenuTexts(HMENU hmenu)
{
    std::map<UINT, std::string> texts;
    for (int i = 0; i < GetMenuItemCount(hmenu); i++) {
        char sz[100] = "";
        GetMenuStringA(hmenu, i, sz, sizeof sz, MF_BYPOSITION);
        if (GetSubMenu(hmenu, i))
            texts.merge(ReadMenuTexts(GetSubMenu(hmenu, i)));
        else if (UINT id = GetMenuItemID(hmenu, i); id != 0 && (id < IDM_RECENT_FIRST || id > IDM_RECENT_LAST))
            texts[id] = sz;
    }
    return texts;
}

} // namespace

TEST_F(ProgramTest, MenusAcceleratorsStringsAndTheRuleAgree)
{
    std::map<UINT, std::string> menu = ReadMenuTexts(GetMenu(hwndMain));
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

    // The rule over every identifier in every state, and the menus opened in that state greyed and checked by it
    // with their texts kept: Open, Exit, About and the recent files always, Undo with an undo copy, the menu's
    // other commands with a file, and the current tool's command alone checked.
    OpenPattern(64, 48, 2);
    const PAVISTREAM pavisOpen = pavisVideo;
    HMENU hmenuBar = GetMenu(hwndMain);
    int cMismatches = 0;
    for (PAVISTREAM pavis : {(PAVISTREAM)NULL, pavisOpen})
        for (fCanUndo = 0; fCanUndo <= 1; fCanUndo++)
            for (nTool = TOOL_PEN; nTool <= TOOL_TEXT; nTool++) {
                pavisVideo = pavis;
                for (int nMenu = 0; nMenu < GetMenuItemCount(hmenuBar); nMenu++)
                    SendMessageA(hwndMain, WM_INITMENUPOPUP, (WPARAM)GetSubMenu(hmenuBar, nMenu), nMenu);
                for (UINT id = 0; id <= 0xFFFF; id++) {
                    bool fRecent = id >= IDM_RECENT_FIRST && id <= IDM_RECENT_LAST;
                    bool fAlways = fRecent || id == IDM_FILE_OPEN || id == IDM_FILE_EXIT || id == IDM_HELP_ABOUT;
                    bool fDue = id == IDM_EDIT_UNDO ? fCanUndo : (fAlways || pavis) && (fRecent || menu.count(id));
                    BOOL fChecked = 2, fResult = QueryCommandState(id, &fChecked);
                    bool fMismatch = (fResult != FALSE) != fDue || fChecked != (BOOL)(id == aidTools[nTool]);
                    UINT uDue = (fDue ? 0u : (UINT)MF_GRAYED) | (id == aidTools[nTool] ? MF_CHECKED : 0u);
                    fMismatch |=
                        menu.count(id) && (GetMenuState(hmenuBar, id, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED)) != uDue;
                    EXPECT_FALSE(fMismatch && ++cMismatches <= 10)
                        << "id " << id << " file " << (pavis != NULL) << " undo " << (int)fCanUndo << " tool " << nTool;
                }
            }
    EXPECT_EQ(cMismatches, 0);
    EXPECT_EQ(ReadMenuTexts(hmenuBar), menu);
    pavisVideo = pavisOpen;
    fCanUndo = 0;
    nTool = TOOL_PEN;
}
