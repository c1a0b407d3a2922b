// Path names on code page 932: on-disk case, shell shortcuts, full-width case, and trail bytes 0x5C that split nothing,
// also where a long path is formatted into a buffer too small for it.
#include "app/format.h"
#include "settings/path_names.h"
#include "support/harness.h"

#include <shlobj.h>
#include <cstring>
#include <thread>

// Double-byte characters of code page 932, as separate literals so that no hex escape runs on.
#define HYO  "\x95\x5C" // 表: trail byte '\'
#define SO   "\x83\x5C" // ソ: trail byte '\'
#define FW_A "\x82\x60" // Ａ
#define FW_a "\x82\x81" // ａ
#define FW_1 "\x82\x50" // １

using PathNamesTest = ProgramTest;

TEST_F(PathNamesTest, FullPathTakesTheCaseFromDiskAndShortcutsResolveToTheirTarget)
{
    for (const char *pszFolder : {"MixedCase", "MixedCase\\Sub Dir", "Ab" HYO "Cd", HYO, "Top" HYO})
        EXPECT_TRUE(CreateDirectoryA(AddFile(pszFolder).c_str(), NULL)) << pszFolder;
    for (const char *pszFile : {"MixedCase\\Sub Dir\\File.AVI", "Ab" HYO "Cd\\X" SO "y.Avi", HYO "\\" SO "Name.Avi",
                                "Top" HYO "\\Low" SO, HYO "\\" SO ".avi", "Broken.lnk"})
        WriteFileBytes(AddFile(pszFile), "");
    auto fullPath = [](const std::string &strIn) {
        std::string strOut(MAX_PATH, '#');
        FullPath(&strOut[0], strIn.c_str());
        return std::string(strOut.c_str());
    };
    const std::string strFolder = strTempDir.substr(0, strTempDir.size() - 1), strBase = fullPath(strFolder);
    ASSERT_EQ(lstrcmpiA(strBase.c_str(), strFolder.c_str()), 0);
    const std::pair<std::string, std::string> aCases[] = {
        {strFolder + "\\mixedcase\\sub dir\\file.avi", strBase + "\\MixedCase\\Sub Dir\\File.AVI"},
        {strFolder + "\\MIXEDCASE\\NoSuch\\new.avi", strBase + "\\MixedCase\\NoSuch\\new.avi"},
        {strFolder + "/mixedcase/.\\sub dir\\..\\SUB DIR\\file.avi", strBase + "\\MixedCase\\Sub Dir\\File.AVI"},
        // A trail byte 0x5C inside a component, or at its end, is not a separator.
        {strFolder + "\\aB" HYO "cD\\x" SO "Y.aVI", strBase + "\\Ab" HYO "Cd\\X" SO "y.Avi"},
        {strFolder + "\\" HYO "\\" SO "NAME.avi", strBase + "\\" HYO "\\" SO "Name.Avi"},
        {strFolder + "\\TOP" HYO "\\LOW" SO, strBase + "\\Top" HYO "\\Low" SO},
        // A wildcard is not taken for the entry it happens to match.
        {strFolder + "\\mixed?ase\\sub dir\\*.avi", strBase + "\\mixed?ase\\sub dir\\*.avi"},
        // The drive letter stays as written.
        {"c" + strFolder.substr(1) + "\\mixedcase", "c" + strBase.substr(1) + "\\MixedCase"},
        {"\\\\noserver\\share/Dir/" HYO ".avi", "\\\\noserver\\share\\Dir\\" HYO ".avi"},
        // Without a full path the input is used, cut before a character that would not fit whole.
        {"C:\\" + std::string(300, 'a'), "C:\\" + std::string(256, 'a')},
        {"C:\\" + std::string(255, 'a') + HYO "b", "C:\\" + std::string(255, 'a')},
    };
    for (auto &[strQuery, strExpected] : aCases)
        EXPECT_EQ(fullPath(strQuery), strExpected) << strQuery;

    char szCurrent[MAX_PATH], sz[MAX_PATH] = "sub dir\\FILE.avi";
    GetCurrentDirectoryA(sizeof szCurrent, szCurrent);
    SetCurrentDirectoryA((strFolder + "\\mixedcase").c_str());
    FullPath(sz, sz);
    SetCurrentDirectoryA(szCurrent);
    EXPECT_EQ(std::string(sz), strBase + "\\MixedCase\\Sub Dir\\File.AVI") << "relative, into its own input";

    auto makeShortcut = [this](const std::string &strName, const std::string &strTarget) {
        IShellLinkA *psl = NULL;
        IPersistFile *ppf = NULL;
        CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void **)&psl);
        psl->SetPath(strTarget.c_str());
        psl->QueryInterface(IID_IPersistFile, (void **)&ppf);
        EXPECT_EQ(ppf->Save(WidenAnsi(AddFile(strName)).c_str(), TRUE), S_OK);
        ppf->Release();
        psl->Release();
        return strTempDir + strName;
    };
    const std::string strTarget = strTempDir + HYO "\\" SO ".avi";
    std::string strLink = makeShortcut(SO ".lnk", strTarget);
    EXPECT_TRUE(ResolveShortcut(sz, strLink.c_str()));
    EXPECT_EQ(std::string(sz), strTarget);
    // A thread of its own has no component library until the function makes it ready.
    std::thread([&strLink] {
        char szOut[MAX_PATH];
        strLink = ResolveShortcut(szOut, strLink.c_str()) ? szOut : "";
    }).join();
    EXPECT_EQ(strLink, strTarget) << "on a fresh thread";
    for (const std::string &strPath :
         {strTarget, strTempDir + "Broken.lnk", makeShortcut("Disguised.avi", strTarget), strTempDir + "Missing.lnk"}) {
        memset(sz, 'x', sizeof sz);
        EXPECT_FALSE(ResolveShortcut(sz, strPath.c_str())) << strPath;
        EXPECT_STREQ(sz, "") << strPath;
    }
}

TEST(PathNamesTableTest, OperationsFoldCaseAndNeitherSplitADoubleByteCharacterNorOverrunTheBuffer)
{
    auto same = [](const char *pszA, const char *pszB) { return ComparePath(pszA, pszB) ? "same" : "other"; };
    auto name = [](const char *pszPath, int cbOut) {
        std::string str(20, '#');
        GetFileName(pszPath, &str[0], cbOut);
        return str[cbOut] != '#' ? "overrun" : std::to_string(GetFileName(pszPath, NULL, 0)) + ":" + str.c_str();
    };
    auto shorten = [](const char *pszPath, int cbMax) {
        char sz[MAX_PATH];
        lstrcpynA(sz, pszPath, sizeof sz);
        AbbreviateName(sz, cbMax);
        return std::string(sz);
    };
    auto escape = [](const std::string &strSrc) {
        std::string str(2 * 259 + 2, '#');
        EscapeMenuText(&str[0], strSrc.c_str());
        return str.back() != '#' ? "overrun" : std::string(str.c_str());
    };
    auto format = [](size_t cbBuffer, const char *pszArgument) {
        char szBuffer[33] = "################################";
        BOOL fWhole = FormatString(szBuffer, cbBuffer, "<%s>", pszArgument);
        return szBuffer[cbBuffer] != '#' ? "overrun" : std::to_string(fWhole) + ":" + szBuffer;
    };
    const std::string a258(258, 'a');
    const std::pair<std::string, std::string> aCases[] = {
        {same("C:\\AVI\\a.avi", "c:\\avi\\A.AVI"), "same"},
        {same("C:\\" FW_A "b.avi", "c:\\" FW_A "B.AVI"), "same"},
        {same("C:\\" FW_A ".avi", "C:\\" FW_a ".avi"), "other"}, // full-width letters keep their case
        {same("C:\\" FW_A ".avi", "C:\\A.avi"), "other"},
        // Classes are taken per character: the full-width letter is found behind double-byte characters.
        {same("C:\\" HYO "\\" SO "\\" FW_A ".avi", "C:\\" HYO "\\" SO "\\" FW_a ".avi"), "other"},
        {same("C:\\" HYO "\\" SO "\\x" FW_1 ".avi", "c:\\" HYO "\\" SO "\\X" FW_1 ".AVI"), "same"},
        {name("a/b", 16), "2:b"},
        {name("C:file.avi", 16), "9:file.avi"},
        {name("\\\\server\\share", 16), "6:share"},
        {name("C:\\" HYO "\\" SO ".avi", 16), "7:" SO ".avi"},
        {name("C:\\dir\\ab" HYO "c", 4), "6:ab"}, // 表 would need bytes 2 and 3, with the zero at 4
        {name("C:\\dir\\ab" HYO "c", 5), "6:ab" HYO},
        {shorten("C:\\dir\\sub1\\sub2\\file.avi", 25), "C:\\dir\\sub1\\sub2\\file.avi"},
        {shorten("C:\\dir\\sub1\\sub2\\file.avi", 24), "C:\\dir\\...\\sub2\\file.avi"},
        {shorten("C:\\dir\\sub1\\sub2\\file.avi", 20), "C:\\dir\\...\\file.avi"},
        {shorten("C:\\dir\\sub1\\sub2\\file.avi", 18), "file.avi"},
        {shorten("C:\\file_with_long_name.avi", 25), "file_with_long_name.avi"},
        {shorten("\\\\server\\share\\dir\\sub\\file.avi", 28), "\\\\server\\share\\...\\file.avi"},
        {shorten("C:\\" HYO "\\sub1\\sub2\\" SO ".avi", 16), "C:\\" HYO "\\...\\" SO ".avi"},
        {escape("C:\\" HYO "&" SO ".avi"), "C:\\" HYO "&&" SO ".avi"},
        {escape(a258 + "&b"), a258 + "&&"}, // at most 259 source bytes
        {escape(std::string(300, '&')), std::string(518, '&')},
        {escape(a258 + HYO), a258},
        {format(16, "abc"), "1:<abc>"},
        {format(6, "abcd"), "0:<abcd"},
        {format(4, HYO HYO), "0:<" HYO},
        {format(5, HYO HYO), "0:<" HYO},
        {format(1, "abc"), "0:"},
    };
    for (size_t i = 0; i < std::size(aCases); i++)
        EXPECT_EQ(aCases[i].first, aCases[i].second) << "case " << i;
}
