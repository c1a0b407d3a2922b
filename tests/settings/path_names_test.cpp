// Path names on this code-page-932 system: on-disk case from real folders the test makes, shortcuts the test
// saves with the shell, full-width case, and double-byte characters whose trail byte is 0x5C.
#include "settings/path_names.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

// Double-byte characters of code page 932, as separate literals so that no hex escape runs on.
#define HYO "\x95\x5C"  // 表: trail byte '\'
#define SO "\x83\x5C"   // ソ: trail byte '\'
#define FW_A "\x82\x60" // Ａ (U+FF21)
#define FW_a "\x82\x81" // ａ (U+FF41)
#define FW_1 "\x82\x50" // １ (U+FF11)

namespace {

// A temporary folder of the test's own; every folder and file made in it is removed again.
class PathNamesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char szTemp[MAX_PATH], szName[MAX_PATH];
        GetTempPathA(sizeof szTemp, szTemp);
        ASSERT_NE(GetTempFileNameA(szTemp, "pn", 0, szName), 0u);
        DeleteFileA(szName);
        ASSERT_TRUE(CreateDirectoryA(szName, NULL));
        strFolder = szName;
        fComInitialized = SUCCEEDED(CoInitialize(NULL));
    }

    void TearDown() override
    {
        for (auto it = astrMade.rbegin(); it != astrMade.rend(); ++it)
            EXPECT_TRUE(DeleteFileA(it->c_str()) || RemoveDirectoryA(it->c_str())) << *it;
        EXPECT_TRUE(RemoveDirectoryA(strFolder.c_str())) << "something left in " << strFolder;
        if (fComInitialized)
            CoUninitialize();
    }

    std::string MakeFolder(const std::string &strRelative) { return MakeFolderAt(strFolder + "\\" + strRelative); }

    std::string MakeFolderAt(const std::string &strPath)
    {
        EXPECT_TRUE(CreateDirectoryA(strPath.c_str(), NULL)) << strPath;
        astrMade.push_back(strPath);
        return strPath;
    }

    std::string MakeFile(const std::string &strRelative, const char *pszContent = "")
    {
        return MakeFileAt(strFolder + "\\" + strRelative, pszContent);
    }

    std::string MakeFileAt(const std::string &strPath, const char *pszContent = "")
    {
        HANDLE hFile = CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL);
        EXPECT_NE(hFile, INVALID_HANDLE_VALUE) << strPath;
        DWORD cbWritten = 0;
        WriteFile(hFile, pszContent, (DWORD)strlen(pszContent), &cbWritten, NULL);
        CloseHandle(hFile);
        astrMade.push_back(strPath);
        return strPath;
    }

    // Saves a shortcut to strTarget through the shell's own link object.
    std::string MakeShortcut(const std::string &strRelative, const std::string &strTarget)
    {
        std::string strPath = strFolder + "\\" + strRelative;
        IShellLinkA *psl = NULL;
        IPersistFile *ppf = NULL;
        WCHAR wszPath[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, strPath.c_str(), -1, wszPath, MAX_PATH);
        bool fSaved =
            SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void **)&psl)) &&
            SUCCEEDED(psl->SetPath(strTarget.c_str())) &&
            SUCCEEDED(psl->QueryInterface(IID_IPersistFile, (void **)&ppf)) && SUCCEEDED(ppf->Save(wszPath, TRUE));
        if (ppf)
            ppf->Release();
        if (psl)
            psl->Release();
        EXPECT_TRUE(fSaved) << strPath;
        astrMade.push_back(strPath);
        return strPath;
    }

    std::string strFolder; // no trailing backslash, in the case GetTempFileName gave
    std::vector<std::string> astrMade;
    bool fComInitialized = false;
};

std::string CallFullPath(const std::string &strIn)
{
    char szOut[MAX_PATH];
    memset(szOut, '#', sizeof szOut);
    FullPath(szOut, strIn.c_str());
    return szOut;
}

std::string LowerAscii(std::string str)
{
    for (char &ch : str)
        if (ch >= 'A' && ch <= 'Z')
            ch = (char)(ch - 'A' + 'a');
    return str;
}

} // namespace

TEST(PathNamesSystemTest, ThisSystemIsDoubleByte)
{
    EXPECT_EQ(GetACP(), 932u);
    EXPECT_NE(GetSystemMetrics(SM_DBCSENABLED), 0);
    // The names below are made through the ANSI functions: 表 and ソ must round-trip through code page 932.
    WCHAR wsz[4];
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, HYO SO, -1, wsz, 4), 3);
    EXPECT_EQ(wsz[0], 0x8868);
    EXPECT_EQ(wsz[1], 0x30BD);
}

TEST_F(PathNamesTest, FullPathTakesTheCaseOfEveryComponentFromDisk)
{
    MakeFolder("MixedCase");
    MakeFolder("MixedCase\\Sub Dir");
    MakeFile("MixedCase\\Sub Dir\\File.AVI");
    MakeFolder("Ab" HYO "Cd");
    MakeFile("Ab" HYO "Cd\\X" SO "y.Avi");
    MakeFolder(HYO);
    MakeFile(HYO "\\" SO "Name.Avi");
    MakeFolder("Top" HYO);
    MakeFile("Top" HYO "\\Low" SO);
    const std::string strBase = CallFullPath(strFolder);
    ASSERT_EQ(strBase.size(), strFolder.size());
    ASSERT_EQ(lstrcmpiA(strBase.c_str(), strFolder.c_str()), 0);

    struct Case {
        const char *pszQuery;
        const char *pszExpected;
    } aCases[] = {
        {"mixedcase\\sub dir\\file.avi", "MixedCase\\Sub Dir\\File.AVI"},
        {"MIXEDCASE\\SUB DIR\\NEW File.avi", "MixedCase\\Sub Dir\\NEW File.avi"},
        {"mixedcase\\NoSuch\\file.avi", "MixedCase\\NoSuch\\file.avi"},
        {"mixedcase\\.\\sub dir\\..\\SUB DIR\\file.avi", "MixedCase\\Sub Dir\\File.AVI"},
        {"mixedcase/sub dir/file.avi", "MixedCase\\Sub Dir\\File.AVI"},
        // A trail byte 0x5C inside a component is not a separator.
        {"aB" HYO "cD\\x" SO "Y.aVI", "Ab" HYO "Cd\\X" SO "y.Avi"},
        {HYO "\\" SO "NAME.avi", HYO "\\" SO "Name.Avi"},
        {"aB" HYO "cD\\" SO "new.avi", "Ab" HYO "Cd\\" SO "new.avi"},
        {"TOP" HYO "\\LOW" SO, "Top" HYO "\\Low" SO}, // components that end in a trail byte 0x5C
        // A wildcard is not taken for the entry it happens to match.
        {"mixedcase\\sub dir\\*.avi", "MixedCase\\Sub Dir\\*.avi"},
        {"mixed?ase\\sub dir\\file.avi", "mixed?ase\\sub dir\\file.avi"},
    };
    for (const Case &c : aCases) {
        SCOPED_TRACE(c.pszQuery);
        EXPECT_EQ(CallFullPath(strFolder + "\\" + c.pszQuery), strBase + "\\" + c.pszExpected);
    }
}

TEST_F(PathNamesTest, FullPathKeepsTheDriveLetterAsWritten)
{
    MakeFolder("MixedCase");
    const std::string strBase = CallFullPath(strFolder);
    ASSERT_EQ(strBase.compare(1, 2, ":\\"), 0);

    std::string strLower = LowerAscii(strFolder) + "\\mixedcase";
    EXPECT_EQ(CallFullPath(strLower), "c" + strBase.substr(1) + "\\MixedCase");
    std::string strUpper = "C" + strLower.substr(1);
    EXPECT_EQ(CallFullPath(strUpper), "C" + strBase.substr(1) + "\\MixedCase");
}

TEST_F(PathNamesTest, FullPathOfARelativePathStartsAtTheCurrentFolder)
{
    MakeFolder("MixedCase");
    MakeFolder("MixedCase\\Sub Dir");
    MakeFile("MixedCase\\Sub Dir\\File.AVI");
    const std::string strBase = CallFullPath(strFolder);
    char szCurrent[MAX_PATH];
    GetCurrentDirectoryA(sizeof szCurrent, szCurrent);
    ASSERT_TRUE(SetCurrentDirectoryA((strFolder + "\\mixedcase").c_str()));

    std::string strResult = CallFullPath("sub dir\\FILE.avi");
    SetCurrentDirectoryA(szCurrent);
    EXPECT_EQ(strResult, strBase + "\\MixedCase\\Sub Dir\\File.AVI");
}

TEST_F(PathNamesTest, FullPathMayWriteIntoItsOwnInput)
{
    MakeFolder("MixedCase");
    const std::string strBase = CallFullPath(strFolder);
    char sz[MAX_PATH];
    lstrcpynA(sz, (strFolder + "\\MIXEDCASE").c_str(), sizeof sz);
    FullPath(sz, sz);
    EXPECT_EQ(std::string(sz), strBase + "\\MixedCase");
}

// Short names come back long; when the long names no longer fit into a path, the path stays as the platform
// made it.
TEST_F(PathNamesTest, FullPathGivesLongNamesWhereTheyFit)
{
    const std::string strBase = CallFullPath(strFolder);
    const int cbName = (250 - (int)strBase.size()) / 3 - 1;
    ASSERT_GT(cbName, 12);
    std::string strShort = strFolder;
    std::string strLong = strBase;
    for (char chLast = '1'; chLast <= '3'; chLast++) {
        std::string strName = "Long Name " + std::string(cbName - 11, 'x') + chLast;
        MakeFolderAt(strShort + "\\" + strName);
        char szShort[MAX_PATH];
        ASSERT_NE(GetShortPathNameA((strShort + "\\" + strName).c_str(), szShort, sizeof szShort), 0u);
        if (strlen(szShort) == strShort.size() + 1 + strName.size())
            GTEST_SKIP() << "this file system keeps no short names";
        strShort = szShort;
        strLong += "\\" + strName;
    }
    ASSERT_LE(strLong.size(), 250u);
    MakeFileAt(strShort + "\\Long File Name.avi");

    EXPECT_EQ(CallFullPath(strShort), strLong);
    const std::string strTooLong = strShort + "\\long file name.avi"; // 269 bytes with the long names
    EXPECT_EQ(CallFullPath(strTooLong), strTooLong);
}

TEST(PathNamesFullPathTest, WithoutAFullPathTheInputIsUsedCutAtACharacter)
{
    const std::string strLong = "C:\\" + std::string(300, 'a');
    const std::string strLongDbcs = "C:\\" + std::string(255, 'a') + HYO + "b";
    struct Case {
        std::string strIn;
        std::string strExpected;
    } aCases[] = {
        {"", ""},
        {strLong, strLong.substr(0, 259)},
        {strLongDbcs, strLongDbcs.substr(0, 258)}, // 表 would take bytes 258 and 259
    };
    for (const Case &c : aCases) {
        SCOPED_TRACE(c.strIn.size());
        EXPECT_EQ(CallFullPath(c.strIn), c.strExpected);
    }
}

TEST(PathNamesFullPathTest, NetworkPathKeepsServerAndShareAsWritten)
{
    EXPECT_EQ(CallFullPath("\\\\NoServer\\Share\\dir\\File.avi"), "\\\\NoServer\\Share\\dir\\File.avi");
    EXPECT_EQ(CallFullPath("\\\\noserver\\share/Dir/" HYO ".avi"), "\\\\noserver\\share\\Dir\\" HYO ".avi");
}

TEST(PathNamesTableTest, ComparePathFoldsCaseExceptOfFullWidthLetters)
{
    ASSERT_NE(GetSystemMetrics(SM_DBCSENABLED), 0);
    struct Case {
        const char *pszA;
        const char *pszB;
        BOOL fSame;
    } aCases[] = {
        {"C:\\AVI\\a.avi", "c:\\avi\\A.AVI", TRUE},
        {"C:\\AVI\\a.avi", "C:\\AVI\\b.avi", FALSE},
        {"C:\\AVI\\a.avi", "C:\\AVI\\a.avi2", FALSE},
        {"", "", TRUE},
        {"C:\\A.avi", "C:\\a.avi", TRUE},
        {"C:\\" FW_A ".avi", "C:\\" FW_a ".avi", FALSE},
        {"C:\\" FW_a ".avi", "C:\\" FW_A ".avi", FALSE},
        {"C:\\" FW_A ".avi", "C:\\" FW_A ".avi", TRUE},
        {"C:\\" FW_A ".avi", "C:\\A.avi", FALSE},
        {"C:\\" FW_A "b.avi", "c:\\" FW_A "B.AVI", TRUE},
        // Classes are taken per character: the full-width letter is found behind double-byte characters.
        {"C:\\" HYO "\\" SO "\\" FW_A ".avi", "C:\\" HYO "\\" SO "\\" FW_a ".avi", FALSE},
        {"C:\\" HYO "\\" SO "\\x" FW_1 ".avi", "c:\\" HYO "\\" SO "\\X" FW_1 ".AVI", TRUE},
        {"C:\\" HYO ".avi", "C:\\" SO ".avi", FALSE},
    };
    for (const Case &c : aCases) {
        SCOPED_TRACE(std::string(c.pszA) + " | " + c.pszB);
        EXPECT_EQ(ComparePath(c.pszA, c.pszB), c.fSame);
    }
}

TEST(PathNamesTableTest, GetFileNameTakesTheTextAfterTheLastSeparator)
{
    struct Case {
        const char *pszPath;
        const char *pszName;
    } aCases[] = {
        {"C:", ""},
        {"a/b", "b"},
        {"C:\\dir\\file.avi", "file.avi"},
        {"C:file.avi", "file.avi"},
        {"C:\\dir\\", ""},
        {"file.avi", "file.avi"},
        {"\\\\server\\share", "share"},
        {"C:\\" HYO "\\" SO ".avi", SO ".avi"},
        {"C:\\dir\\" HYO, HYO},
        {"C:\\" SO SO "\\a" HYO "b", "a" HYO "b"},
    };
    for (const Case &c : aCases) {
        SCOPED_TRACE(c.pszPath);
        char szOut[MAX_PATH];
        memset(szOut, '#', sizeof szOut);
        EXPECT_EQ(GetFileName(c.pszPath, szOut, sizeof szOut), 0);
        EXPECT_STREQ(szOut, c.pszName);
        EXPECT_EQ(GetFileName(c.pszPath, NULL, 0), (int)strlen(c.pszName) + 1);
    }
}

TEST(PathNamesTableTest, GetFileNameCutsAtACharacterWithinItsBuffer)
{
    struct Case {
        const char *pszPath;
        int cbOut;
        const char *pszName;
    } aCases[] = {
        {"C:\\file.avi", 1, ""},
        {"C:\\file.avi", 5, "file"},
        {"C:\\file.avi", 9, "file.avi"},
        {"C:\\dir\\ab" HYO "c", 3, "ab"},
        {"C:\\dir\\ab" HYO "c", 4, "ab"}, // 表 would need bytes 2 and 3 with the terminator at 4
        {"C:\\dir\\ab" HYO "c", 5, "ab" HYO},
    };
    for (const Case &c : aCases) {
        SCOPED_TRACE(std::string(c.pszPath) + " in " + std::to_string(c.cbOut));
        char szOut[16];
        memset(szOut, '#', sizeof szOut);
        EXPECT_EQ(GetFileName(c.pszPath, szOut, c.cbOut), 0);
        EXPECT_STREQ(szOut, c.pszName);
        EXPECT_EQ(szOut[c.cbOut], '#') << "wrote past the buffer";
    }
}

TEST(PathNamesTableTest, AbbreviateNameShortensBehindTheVolume)
{
    struct Case {
        const char *pszPath;
        int cbMax;
        const char *pszExpected;
    } aCases[] = {
        {"C:\\dir\\sub1\\sub2\\file.avi", 20, "C:\\dir\\...\\file.avi"},
        {"C:\\file_with_long_name.avi", 20, "file_with_long_name.avi"},
        {"C:\\a\\b.avi", 20, "C:\\a\\b.avi"},
        // 25 bytes at max 25 and 24; 26 bytes at max 26 and 25.
        {"C:\\dir\\sub1\\sub2\\file.avi", 25, "C:\\dir\\sub1\\sub2\\file.avi"},
        {"C:\\dir\\sub1\\sub2\\file.avi", 24, "C:\\dir\\...\\sub2\\file.avi"},
        {"C:\\file_with_long_name.avi", 26, "C:\\file_with_long_name.avi"},
        {"C:\\file_with_long_name.avi", 25, "file_with_long_name.avi"},
        {"C:\\dir\\file_with_long_name.avi", 10, "file_with_long_name.avi"},
        {"C:\\dir\\sub1\\sub2\\file.avi", 18, "file.avi"},
        {"\\\\server\\share\\dir\\sub\\file.avi", 28, "\\\\server\\share\\...\\file.avi"},
        {"\\\\server\\share\\dir\\sub\\file.avi", 26, "file.avi"},
        // 表 and ソ end in 0x5C: neither the volume part nor the name is cut inside them.
        {"C:\\" HYO "\\sub1\\sub2\\" SO ".avi", 16, "C:\\" HYO "\\...\\" SO ".avi"},
        {"C:\\dir\\sub\\" SO, 8, SO},
        {"C:\\dir\\" HYO HYO HYO ".avi", 5, HYO HYO HYO ".avi"},
    };
    for (const Case &c : aCases) {
        SCOPED_TRACE(std::string(c.pszPath) + " max " + std::to_string(c.cbMax));
        char szPath[MAX_PATH];
        lstrcpynA(szPath, c.pszPath, sizeof szPath);
        AbbreviateName(szPath, c.cbMax);
        EXPECT_STREQ(szPath, c.pszExpected);
    }
}

TEST(PathNamesTableTest, EscapeMenuTextDoublesEveryAmpersand)
{
    struct Case {
        const char *pszSrc;
        const char *pszExpected;
    } aCases[] = {
        {"R&D.avi", "R&&D.avi"},
        {"&&", "&&&&"},
        {"", ""},
        {"C:\\plain.avi", "C:\\plain.avi"},
        {"C:\\" HYO "&" SO ".avi", "C:\\" HYO "&&" SO ".avi"},
    };
    for (const Case &c : aCases) {
        char szDst[2 * 259 + 1];
        EscapeMenuText(szDst, c.pszSrc);
        EXPECT_STREQ(szDst, c.pszExpected) << c.pszSrc;
    }
}

TEST(PathNamesTableTest, EscapeMenuTextCopiesAtMost259SourceBytes)
{
    const std::string a258(258, 'a');
    struct Case {
        std::string strSrc;
        std::string strExpected;
    } aCases[] = {
        {a258 + "&b", a258 + "&&"},
        {a258 + "a&", a258 + "a"},
        {std::string(300, '&'), std::string(518, '&')},
        {a258 + HYO, a258}, // 表 would be source bytes 259 and 260
    };
    for (const Case &c : aCases) {
        SCOPED_TRACE(c.strExpected.size());
        char szDst[2 * 259 + 2];
        memset(szDst, '#', sizeof szDst);
        EscapeMenuText(szDst, c.strSrc.c_str());
        EXPECT_EQ(std::string(szDst), c.strExpected);
        EXPECT_EQ(szDst[sizeof szDst - 1], '#');
    }
}

TEST_F(PathNamesTest, ResolveShortcutGivesTheTargetOfALink)
{
    MakeFolder(HYO);
    const std::string aTargets[] = {MakeFile("Target.avi", "RIFF"), MakeFile(HYO "\\" SO ".avi", "RIFF")};
    const std::string aLinks[] = {MakeShortcut("Target.lnk", aTargets[0]), MakeShortcut(SO ".lnk", aTargets[1])};
    for (int i = 0; i < 2; i++) {
        SCOPED_TRACE(aLinks[i]);
        char szOut[MAX_PATH];
        EXPECT_TRUE(ResolveShortcut(szOut, aLinks[i].c_str()));
        EXPECT_EQ(std::string(szOut), aTargets[i]);
    }
}

TEST_F(PathNamesTest, ResolveShortcutRefusesWhatIsNoLink)
{
    const std::string aPaths[] = {
        MakeFile("Plain.avi", "RIFF"),
        MakeFile("Broken.lnk", "not a shell link"),
        MakeShortcut("Disguised.avi", strFolder + "\\Plain.avi"), // a link's content without a link's name
        strFolder + "\\Missing.lnk",
        strFolder + "\\Missing.avi",
    };
    for (const std::string &strPath : aPaths) {
        SCOPED_TRACE(strPath);
        char szOut[MAX_PATH];
        memset(szOut, 'x', sizeof szOut);
        EXPECT_FALSE(ResolveShortcut(szOut, strPath.c_str()));
        EXPECT_STREQ(szOut, "");
    }
}

namespace {

struct ResolveJob {
    const char *pszLink;
    char szOut[MAX_PATH];
    BOOL fResolved;
};

DWORD WINAPI ResolveOnFreshThread(void *pv)
{
    ResolveJob *pjob = (ResolveJob *)pv;
    pjob->fResolved = ResolveShortcut(pjob->szOut, pjob->pszLink);
    return 0;
}

} // namespace

TEST_F(PathNamesTest, ResolveShortcutReadiesTheComponentLibraryItself)
{
    const std::string strTarget = MakeFile("Target.avi", "RIFF");
    const std::string strLink = MakeShortcut("Target.lnk", strTarget);
    // A thread of its own has no component library until the function makes it ready.
    ResolveJob job = {strLink.c_str(), "", FALSE};
    HANDLE hThread = CreateThread(NULL, 0, ResolveOnFreshThread, &job, 0, NULL);
    ASSERT_NE(hThread, (HANDLE)NULL);
    WaitForSingleObject(hThread, INFINITE);
    CloseHandle(hThread);
    EXPECT_TRUE(job.fResolved);
    EXPECT_EQ(std::string(job.szOut), strTarget);
}
