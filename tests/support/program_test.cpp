#include "support/program_test.h"

#include "app/app_state.h"
#include "app/startup.h"

#include <shlwapi.h>

#include <functional>

void DeleteSettingsKey()
{
    SHDeleteKeyA(HKEY_CURRENT_USER, pszRegistryKey);
}

std::vector<std::string> ListFolder(const std::string &strFolder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE hfind = FindFirstFileA((strFolder + "*").c_str(), &fd);
    if (hfind == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (lstrcmpA(fd.cFileName, ".") != 0 && lstrcmpA(fd.cFileName, "..") != 0)
            names.push_back(fd.cFileName);
    } while (FindNextFileA(hfind, &fd));
    FindClose(hfind);
    return names;
}

static std::string MakeTestFolder()
{
    char szBase[MAX_PATH], szName[MAX_PATH];
    GetTempPathA(sizeof szBase, szBase);
    GetTempFileNameA(szBase, "pt", 0, szName);
    DeleteFileA(szName);
    CreateDirectoryA(szName, NULL);
    return std::string(szName) + "\\";
}

void ProgramTest::SetUp()
{
    DeleteSettingsKey();
    PrepareSettings();
    strTempDir = MakeTestFolder();
    // The program's temporary files land in the test's own folder.
    SetEnvironmentVariableA("TMP", strTempDir.c_str());
    SetEnvironmentVariableA("TEMP", strTempDir.c_str());
    ASSERT_TRUE(StartProgram(GetModuleHandleA(NULL), SW_SHOW));
    haccel = LoadMainAccelerators();
    ASSERT_NE(haccel, (HACCEL)NULL);
    Pump();
}

void ProgramTest::UseVideoStream(const AviSpec &spec)
{
    std::string strPath = strTempDir + "video.avi";
    ASSERT_TRUE(MakeAviFile(strPath, spec));
    pavisMadeVideo = OpenVideoStream(strPath);
    ASSERT_NE(pavisMadeVideo, (PAVISTREAM)NULL);
    pavisVideo = pavisMadeVideo;
    lFrameCount = AVIStreamLength(pavisVideo);
    lStartTime = AVIStreamStartTime(pavisVideo);
    lEndTime = AVIStreamEndTime(pavisVideo);
    lCurTime = lStartTime.load();
}

static void ReleaseVideoStream(PAVISTREAM pavis, const std::string &strFolder)
{
    if (pavisVideo == pavis) {
        pavisVideo = NULL;
        lFrameCount = 0;
        lStartTime = lEndTime = lCurTime = 0;
    }
    AVIStreamRelease(pavis);
    DeleteFileA((strFolder + "video.avi").c_str());
}

void ProgramTest::TearDown()
{
    fPlaying = FALSE;
    // The made stream is the test's own: the program's closing must not release it.
    if (pavisMadeVideo)
        ReleaseVideoStream(pavisMadeVideo, strTempDir);
    if (!fEnded && IsWindow(hwndMain))
        CloseProgram();
    UnregisterClassA(szWindowClass, GetModuleHandleA(NULL));
    UnregisterClassA(pszViewClass, NULL);
    EXPECT_EQ(ListFolder(strTempDir), std::vector<std::string>()) << "files left in the temporary folder";
    RemoveDirectoryA(strTempDir.c_str());
    DeleteSettingsKey();
}

bool ProgramTest::Pump()
{
    if (fEnded)
        return false;
    for (int nPass = 0; nPass < 1000; nPass++) {
        if (!PumpMessages(haccel, &nExitCode)) {
            fEnded = true;
            return false;
        }
        RunIdleStep();
        MSG msg;
        if (!PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE))
            return true;
    }
    ADD_FAILURE() << "the message queue never became empty";
    return true;
}

void ProgramTest::Command(UINT id)
{
    SendMessageA(hwndMain, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    Pump();
}

bool ProgramTest::PumpUntil(const std::function<bool()> &condition)
{
    for (int i = 0; i < 400; i++) {
        if (condition())
            return true;
        Pump();
        Sleep(5);
    }
    return condition();
}

void ProgramTest::CloseProgram()
{
    PostMessageA(hwndMain, WM_CLOSE, 0, 0);
    for (int i = 0; i < 100 && !fEnded; i++) {
        Pump();
        if (!fEnded)
            Sleep(5);
    }
    EXPECT_TRUE(fEnded) << "the message loop did not end";
}
