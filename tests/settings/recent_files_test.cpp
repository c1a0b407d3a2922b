// The recent file list: the File menu's numbered items as the registry holds them, one entry a file whatever its
// spelling, the bound on their number, reopening from the menu, a file that has gone, and the shell's recent
// documents.
#include "app/app_state.h"
#include "app/message_box.h"
#include "resources/resource.h"
#include "support/harness.h"

#include <shlobj.h>

namespace {

const char szListKey[] = "Software\\Norbek\\Pelto\\Recent File List";
const std::string strClip = "-f lavfi -i testsrc=size=32x24:rate=10 -frames:v 2 -c:v rawvideo";

// The File menu's recent items as the user sees them when the menu opens; a greyed one is marked.
std::vector<std::string> OpenFileMenu()
{
    HMENU hmenu = GetSubMenu(GetMenu(hwndMain), 0);
    SendMessageA(hwndMain, WM_INITMENUPOPUP, (WPARAM)hmenu, 0);
    std::vector<std::string> items;
    for (UINT id = IDM_RECENT_FIRST; id <= IDM_RECENT_LAST && GetMenuState(hmenu, id, 0) != ~0u; id++) {
        char szText[600] = "";
        GetMenuStringA(hmenu, id, szText, sizeof szText, MF_BYCOMMAND);
        items.push_back(szText + std::string(GetMenuState(hmenu, id, 0) & MF_GRAYED ? " (greyed)" : ""));
    }
    return items;
}

std::vector<std::string> ReadStoredList()
{
    std::vector<std::string> paths;
    char szPath[MAX_PATH];
    for (DWORD cb = sizeof szPath;
         RegGetValueA(HKEY_CURRENT_USER, szListKey, ("File" + std::to_string(paths.size() + 1)).c_str(), RRF_RT_REG_SZ,
                      NULL, szPath, &cb) == ERROR_SUCCESS;
         cb = sizeof szPath)
        paths.push_back(szPath);
    return paths;
}

void StoreList(const std::vector<std::string> &paths, DWORD cMax)
{
    DeleteSettingsKey();
    for (size_t i = 0; i < paths.size(); i++)
        if (!paths[i].empty())
            RegSetKeyValueA(HKEY_CURRENT_USER, szListKey, ("File" + std::to_string(i + 1)).c_str(), REG_SZ,
                            paths[i].c_str(), (DWORD)paths[i].size() + 1);
    RegSetKeyValueA(HKEY_CURRENT_USER, pszRegistryKey, "MaxRecentFile", REG_DWORD, &cMax, sizeof cMax);
}

} // namespace

using RecentFilesTest = ProgramTest;

TEST_F(RecentFilesTest, TheMenuShowsTheStoredListReopensItsFilesAndDropsAGoneOne)
{
    std::vector<std::string> twenty, shown16;
    for (int i = 1; i <= 20; i++)
        twenty.push_back("C:\\f" + std::to_string(i) + ".avi");
    for (int i = 0; i < 16; i++)
        shown16.push_back(std::string("&") + (char)(i < 9 ? '1' + i : '0') + " " + twenty[i]);
    const std::tuple<std::vector<std::string>, DWORD, std::vector<std::string>> cases[] = {
        {{}, 8, {LoadText(IDS_RECENT_FILES) + " (greyed)"}},
        {{"C:\\R&D.avi"}, 8, {"&1 C:\\R&&D.avi"}},
        {{"C:\\f1.avi", "", "C:\\f3.avi"}, 8, {"&1 C:\\f1.avi"}}, // a gap ends the list
        {{"C:\\a234567890\\b234567890\\c234567890\\d.avi"}, 8, {"&1 C:\\a234567890\\...\\c234567890\\d.avi"}},
        {twenty, 20, shown16}, // bounded at the menu's 16 identifiers; the tenth on have the access key 0
    };
    for (auto &[stored, cMax, shown] : cases) {
        StoreList(stored, cMax);
        EXPECT_EQ(OpenFileMenu(), shown);
    }

    // An open puts the file first once, spelled as on disk, whatever path named it; the entry beyond
    // "MaxRecentFile" 8 stays stored until the next change, and the menu never shows it.
    std::string strA = MakeMedia("Clip A.avi", strClip), strB = MakeMedia("clip b.avi", strClip);
    StoreList({twenty.begin(), twenty.begin() + 8}, 8);
    OpenFile(strA);
    EXPECT_EQ(ReadStoredList().back(), "C:\\f8.avi");
    EXPECT_EQ(OpenFileMenu().size(), 8u);
    OpenFile(strB);
    EXPECT_EQ(ReadStoredList().back(), "C:\\f7.avi") << "f8 went with the next change";
    SetCurrentDirectoryA(strTempDir.c_str());
    OpenFile("CLIP a.AVI");
    std::vector<std::string> due = {strA, strB};
    due.insert(due.end(), twenty.begin(), twenty.begin() + 6);
    EXPECT_EQ(ReadStoredList(), due);

    robot.ExpectText(AddFile("saved.avi"));
    Command(IDM_FILE_SAVE_AS);
    EXPECT_EQ(ReadStoredList()[0], strTempDir + "saved.avi") << "a saved file comes first too";

    // An item reopens its file.
    StoreList({}, 8);
    OpenFile(strA);
    OpenFile(strB);
    OpenFileMenu();
    Command(IDM_RECENT_FIRST + 1);
    EXPECT_EQ(std::string(szFileName), strA);
    EXPECT_EQ(ReadStoredList(), (std::vector<std::string>{strA, strB}));

    // The message names the file, belongs to the main window, and comes after the entry left the registry.
    DeleteFileA(strB.c_str());
    OpenFileMenu();
    robot.Expect([&](HWND hdlg) {
        EXPECT_EQ(GetWindow(hdlg, GW_OWNER), hwndMain);
        EXPECT_EQ(ReadStoredList(), std::vector<std::string>{strA});
        DialogRobot::PressButton(hdlg, IDOK);
    });
    Command(IDM_RECENT_FIRST + 1);
    ASSERT_EQ(robot.Seen().size(), 2u) << "the save dialog, then the message";
    EXPECT_EQ(robot.Seen().back().strText, FormatResourceText(IDS_FILE_NOT_FOUND, strB));
    EXPECT_EQ(OpenFileMenu().size(), 1u);
    EXPECT_EQ(std::string(szFileName), strA) << "the open document stays";

    // A message shown while a dialog of ours is open belongs to that dialog, not to the window behind it.
    robot.Expect([&](HWND hdlg) {
        robot.Expect([hdlg](HWND hbox) {
            EXPECT_EQ(GetWindow(hbox, GW_OWNER), hdlg);
            DialogRobot::PressButton(hbox, IDOK);
        });
        AppMessageBox("?", MB_OK);
        DialogRobot::PressButton(hdlg, IDOK);
    });
    Command(IDM_HELP_ABOUT);

    // "AddRecentDocs" 1 hands an opened file to the shell's recent documents; 0, or no value, does not.
    char szRecent[MAX_PATH];
    ASSERT_EQ(SHGetFolderPathA(NULL, CSIDL_RECENT, NULL, 0, szRecent), S_OK);
    std::string strLink = std::string(szRecent) + "\\Clip A.avi.lnk";
    for (DWORD dwAdd : {2u, 0u, 1u}) { // missing, 0, 1
        DeleteFileA(strLink.c_str());
        if (dwAdd < 2)
            RegSetKeyValueA(HKEY_CURRENT_USER, pszRegistryKey, "AddRecentDocs", REG_DWORD, &dwAdd, sizeof dwAdd);
        OpenFile(strA);
        EXPECT_EQ(DeleteFileA(strLink.c_str()), dwAdd == 1) << dwAdd;
    }
}
