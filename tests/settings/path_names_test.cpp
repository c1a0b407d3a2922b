// Path names on this code-page-932 system: on-disk case from real folders, shortcuts saved with the shell,
// full-width case, and double-byte characters whose trail byte is 0x5C.
#include "settings/path_names.h"

#include "support/program_test.h"

#include <objbase.h>
#include <shlobj.h>

#include <cstring>

// Double-byte characters of code page 932, as separate literals so that no hex escape runs on.
#define HYO "\x95\x5C"  // 表: trail byte '\'
#define SO "\x83\x5C"   // ソ: trail byte '\'
#define FW_A "\x82\x60" // Ａ
#define FW_a "\x82\x81" // ａ
#define FW_1 "\x82\x50" // １

namespace {

// Folders and files made in a temporary folder of the test's own, removed again at the end.
class PathNamesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char szTemp[MAX_PATH], szName[MAX_PATH];
        GetTempPathA(sizeof szTemp, szTemp);
        GetTempFileNameA(szTemp, "pn", 0, szName);
        DeleteFileA(szName);
        strFolder = Make(szName, true);
        CoInitialize(NULL);
    }
    void TearDown() override
    {
        for (auto it = made.rbegin(); it != made.rend(); ++it)
            EXPECT_TRUE(DeleteFileA(it->c_str()) || RemoveDirectoryA(it->c_str())) << *it;
        CoUninitialize();
    }
    std::string Make(const std::string &strPath, bool fFolder)
    {
        if (fFolder)
            EXPECT_TRUE(CreateDirectoryA(strPath.c_str(), NULL)) << strPath;
        else
            CloseHandle(CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL));
        made.push_back(strPath);
        return strPath;
    }
    std::string MakeShortcut(const std::string &strName, const std::string &strTarget)
    {
        IShellLinkA *psl = NULL;
        IPersistFile *ppf = NULL;
        EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void **)&psl), S_OK);
        psl->SetPath(strTarget.c_str());
        psl->QueryInterface(IID_IPersistFile, (void **)&ppf);
        EXPECT_EQ(ppf->Save(WidenAnsi(strFolder + "\\" + strName).c_str(), TRUE), S_OK);
        ppf->Release();
        psl->Release();
        made.push_back(strFolder + "\\" + strName);
        return made.back();
    }
    std::string strFolder; // without a trailing backslash
    std::vector<std::string> made;
};

std::string CallFullPath(const std::string &strIn)
{
    char szOut[MAX_PATH];
    memset(szOut, '#', sizeof szOut);
    FullPath(szOut, strIn.c_str());
    return szOut;
}

DWORD WINAPI ResolveOnThread(void *pv)
{
    char szOut[MAX_PATH];
    std::string *pstr = (std::string *)pv;
    *pstr = ResolveShortcut(szOut, pstr->c_str()) ? szOut : "";
    return 0;
}

} // namespace

TEST_F(PathNamesTest, FullPathTakesTheCaseOfEveryComponentFromDisk)
{
    for (const char *pszFolder : {"\\MixedCase", "\\MixedCase\\Sub Dir", "\\Ab" HYO "Cd", "\\" HYO, "\\Top" HYO})
        Make(strFolder + pszFolder, true);
    for (const char *pszFile : {"\\MixedCase\\Sub Dir\\File.AVI", "\\Ab" HYO "Cd\\X" SO "y.Avi", "\\" HYO "\\" SO
                                "Name.Avi", "\\Top" HYO "\\Low" SO})
        Make(strFolder + pszFile, false);
    const std::string strBase = CallFullPath(strFolder);
    ASSERT_EQ(lstrcmpiA(strBase.c_str(), strFolder.c_str()), 0);
    const struct Case {
        std::string strQuery, strExpected;
    } aCases[] = {
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
    for (const Case &c : aCases)
        EXPECT_EQ(CallFullPath(c.strQuery), c.strExpected) << c.strQuery;

    char szCurrent[MAX_PATH], sz[MAX_PATH];
    GetCurrentDirectoryA(sizeof szCurrent, szCurrent);
    SetCurrentDirectoryA((strFolder + "\\mixedcase").c_str());
    lstrcpyA(sz, "sub dir\\FILE.avi");
    FullPath(sz, sz);
    SetCurrentDirectoryA(szCurrent);
    EXPECT_EQ(std::string(sz), strBase + "\\MixedCase\\Sub Dir\\File.AVI") << "relative, into its own input";
}

TEST_F(PathNamesTest, ShortcutsResolveToTheirTargetAndNothingElseDoes)
{
    Make(strFolder + "\\" HYO, true);
    const std::string strTarget = Make(strFolder + "\\" HYO "\\" SO ".avi", false);
    std::string strLink = MakeShortcut(SO ".lnk", strTarget);
    char szOut[MAX_PATH];
    EXPECT_TRUE(ResolveShortcut(szOut, strLink.c_str()));
    EXPECT_EQ(std::string(szOut), strTarget);
    // A thread of its own has no component library until the function makes it ready.
    HANDLE hThread = CreateThread(NULL, 0, ResolveOnThread, &strLink, 0, NULL);
    WaitForSingleObject(hThread, INFINITE);
    CloseHandle(hThread);
    EXPECT_EQ(strLink, strTarget) << "on a fresh thread";

    for (const std::string &strPath : {strTarget, Make(strFolder + "\\Broken.lnk", false),
                                       MakeShortcut("Disguised.avi", strTarget), strFolder + "\\Missing.lnk"}) {
        memset(szOut, 'x', sizeof szOut);
        EXPECT_FALSE(ResolveShortcut(szOut, strPath.c_str())) << strPath;
        EXPECT_STREQ(szOut, "") << strPath;
    }
}

TEST(PathNamesTableTest, ComparePathFoldsCaseExceptOfFullWidthLetters)
{
    const struct Case {
        const char *pszA, *pszB;
        BOOL fSame;
    } aCases[] = {
        {"C:\\AVI\\a.avi", "c:\\avi\\A.AVI", TRUE},
        {"C:\\AVI\\a.avi", "C:\\AVI\\a.avi2", FALSE},
        {"C:\\" FW_A ".avi", "C:\\" FW_a ".avi", FALSE},
        {"C:\\" FW_A ".avi", "C:\\A.avi", FALSE},
        {"C:\\" FW_A "b.avi", "c:\\" FW_A "B.AVI", TRUE},
        // Classes are taken per character: the full-width letter is found behind double-byte characters.
        {"C:\\" HYO "\\" SO "\\" FW_A ".avi", "C:\\" HYO "\\" SO "\\" FW_a ".avi", FALSE},
        {"C:\\" HYO "\\" SO "\\x" FW_1 ".avi", "c:\\" HYO "\\" SO "\\X" FW_1 ".AVI", TRUE},
        {"C:\\" HYO ".avi", "C:\\" SO ".avi", FALSE},
    };
    for (const Case &c : aCases)
        EXPECT_EQ(ComparePath(c.pszA, c.pszB), c.fSame) << c.pszA << " | " << c.pszB;
}

TEST(PathNamesTableTest, GetFileNameTakesWholeCharactersAfterTheLastSeparator)
{
    const struct Case {
        const char *pszPath;
        int cbOut;
        const char *pszName;
    } aCases[] = {
        {"C:", 16, ""}, {"a/b", 16, "b"}, {"C:file.avi", 16, "file.avi"}, {"C:\\dir\\", 16, ""},
        {"\\\\server\\share", 16, "share"}, {"C:\\" HYO "\\" SO ".avi", 16, SO ".avi"}, {"C:\\dir\\" HYO, 16, HYO},
        {"C:\\file.avi", 5, "file"}, {"C:\\dir\\ab" HYO "c", 4, "ab"}, {"C:\\dir\\ab" HYO "c", 5, "ab" HYO},
    };
    for (const Case &c : aCases) {
        char szOut[20];
        memset(szOut, '#', sizeof szOut);
        EXPECT_EQ(GetFileName(c.pszPath, szOut, c.cbOut), 0);
        EXPECT_STREQ(szOut, c.pszName) << c.pszPath << " in " << c.cbOut;
        EXPECT_EQ(szOut[c.cbOut], '#') << "wrote past the buffer";
        EXPECT_TRUE(c.cbOut < 16 || GetFileName(c.pszPath, NULL, 0) == (int)strlen(c.pszName) + 1) << c.pszPath;
    }
}

TEST(PathNamesTableTest, AbbreviateNameShortensBehindTheVolume)
{
    const struct Case {
        const char *pszPath;
        int cbMax;
        const char *pszExpected;
    } aCases[] = {
        {"C:\\dir\\sub1\\sub2\\file.avi", 20, "C:\\dir\\...\\file.avi"},
        {"C:\\dir\\sub1\\sub2\\file.avi", 25, "C:\\dir\\sub1\\sub2\\file.avi"},
        {"C:\\dir\\sub1\\sub2\\file.avi", 24, "C:\\dir\\...\\sub2\\file.avi"},
        {"C:\\dir\\sub1\\sub2\\file.avi", 18, "file.avi"},
        {"C:\\file_with_long_name.avi", 26, "C:\\file_with_long_name.avi"},
        {"C:\\file_with_long_name.avi", 25, "file_with_long_name.avi"},
        {"C:\\dir\\file_with_long_name.avi", 10, "file_with_long_name.avi"},
        {"\\\\server\\share\\dir\\sub\\file.avi", 28, "\\\\server\\share\\...\\file.avi"},
        {"\\\\server\\share\\dir\\sub\\file.avi", 26, "file.avi"},
        // 表 and ソ end in 0x5C: neither the volume part nor the name is cut inside them.
        {"C:\\" HYO "\\sub1\\sub2\\" SO ".avi", 16, "C:\\" HYO "\\...\\" SO ".avi"},
        {"C:\\dir\\sub\\" SO, 8, SO},
    };
    for (const Case &c : aCases) {
        char szPath[MAX_PATH];
        lstrcpynA(szPath, c.pszPath, sizeof szPath);
        AbbreviateName(szPath, c.cbMax);
        EXPECT_STREQ(szPath, c.pszExpected) << c.pszPath << " max " << c.cbMax;
    }
}

TEST(PathNamesTableTest, EscapeMenuTextDoublesAmpersandsOfAtMost259SourceBytes)
{
    const std::string a258(258, 'a');
    const struct Case {
        std::string strSrc, strExpected;
    } aCases[] = {
        {"R&D.avi", "R&&D.avi"}, {"C:\\" HYO "&" SO ".avi", "C:\\" HYO "&&" SO ".avi"}, {a258 + "&b", a258 + "&&"},
        {a258 + "a&", a258 + "a"}, {std::string(300, '&'), std::string(518, '&')}, {a258 + HYO, a258},
    };
    for (const Case &c : aCases) {
        char szDst[2 * 259 + 2];
        memset(szDst, '#', sizeof szDst);
        EscapeMenuText(szDst, c.strSrc.c_str());
        EXPECT_EQ(std::string(szDst), c.strExpected) << c.strSrc.size();
        EXPECT_EQ(szDst[sizeof szDst - 1], '#');
    }
}
