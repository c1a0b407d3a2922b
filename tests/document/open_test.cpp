// Opening a file as the user does: the Open command, the open dialog answered by the robot, and the
// working copy from which the document is read.
#include "app/app_state.h"
#include "document/document_state.h"
#include "resources/resource.h"
#include "support/avi_reader.h"
#include "support/host_tools.h"
#include "support/program_test.h"

#include <algorithm>

namespace {

// Test media made by ffmpeg: a test pattern, and a tone where a case has sound.
const char *const pszPattern = "-f lavfi -i testsrc=size=320x240:rate=10:duration=2 ";
const char *const pszTone = "-f lavfi -i sine=frequency=440:sample_rate=22050:duration=2 ";

class OpenTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        if (ToHostPath(strTempDir).empty())
            GTEST_SKIP() << "no host system with ffmpeg";
    }

    void TearDown() override
    {
        fModified = 0;
        for (const std::string &strPath : media)
            DeleteFileA(strPath.c_str());
        ProgramTest::TearDown();
    }

    std::string MakeMedia(const char *pszName, const std::string &strArguments)
    {
        std::string strPath = strTempDir + pszName;
        media.push_back(strPath);
        EXPECT_TRUE(MakeMediaWithFfmpeg(strArguments, strPath)) << strArguments;
        return strPath;
    }

    std::string MakeTextFile(const char *pszName)
    {
        std::string strPath = strTempDir + pszName;
        media.push_back(strPath);
        HANDLE hfile = CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        DWORD cb;
        WriteFile(hfile, "not a video", 11, &cb, NULL);
        CloseHandle(hfile);
        return strPath;
    }

    // The Open command with the robot choosing strPath in the open dialog.
    void OpenThroughDialog(const std::string &strPath)
    {
        robot.Expect([strPath](HWND hdlg) {
            DialogRobot::SetItemText(hdlg, 0x47C, strPath.c_str());
            DialogRobot::PressButton(hdlg, IDOK);
        });
        Command(IDM_FILE_OPEN);
    }

    // A message box that the open is expected to show, answered with OK.
    void ExpectMessage() { robot.Expect([](HWND hdlg) { DialogRobot::PressButton(hdlg, IDOK); }); }

    std::vector<std::string> WorkingCopies()
    {
        std::vector<std::string> copies;
        for (const std::string &strName : ListFolder(strTempDir))
            if (strName.size() == 11 && strName.compare(0, 3, "~CT") == 0 && strName.compare(7, 4, ".AVI") == 0)
                copies.push_back(strName);
        return copies;
    }

    std::vector<std::string> media;
};

std::wstring TitleOf(const std::string &strPath)
{
    return WidenAnsi(strPath) + L" - Pelto";
}

} // namespace

TEST_F(OpenTest, RealFilesOpenThroughTheirWorkingCopy)
{
    struct Case {
        const char *pszName;
        std::string strArguments;
        bool fSound;
    } aCases[] = {
        {"cinepak.avi", std::string(pszPattern) + pszTone + "-c:v cinepak -c:a pcm_s16le", true},
        {"video1.avi", std::string(pszPattern) + pszTone + "-c:v msvideo1 -c:a pcm_u8", true},
        {"raw.avi", std::string(pszPattern) + "-c:v rawvideo -pix_fmt bgr24", false},
    };
    for (const Case &c : aCases) {
        SCOPED_TRACE(c.pszName);
        std::string strPath = MakeMedia(c.pszName, c.strArguments);
        StreamFacts video = ReadStreamFacts(strPath, streamtypeVIDEO);
        StreamFacts audio = ReadStreamFacts(strPath, streamtypeAUDIO);
        OpenThroughDialog(strPath);

        ASSERT_NE(pavisVideo, (PAVISTREAM)NULL);
        EXPECT_EQ(GetWindowTextWide(hwndMain), TitleOf(strPath));
        EXPECT_EQ(lFrameCount, 20);
        EXPECT_EQ(cxFrame, 320);
        EXPECT_EQ(cyFrame, 240);
        EXPECT_EQ(lStartTime, 0);
        EXPECT_EQ(lVideoEndTime, video.lEndTime);
        EXPECT_EQ(lEndTime, std::max(video.lEndTime, audio.lEndTime));
        EXPECT_EQ(nFigureStart, 0);
        EXPECT_EQ(nFigureEnd, 19);
        EXPECT_EQ(pavisAudio != NULL, c.fSound);
        RECT rc;
        GetClientRect(hwndView, &rc);
        EXPECT_EQ(rc.right, 320);
        EXPECT_EQ(rc.bottom, 240);

        std::vector<std::string> copies = WorkingCopies();
        ASSERT_EQ(copies.size(), 1u);
        std::string strCopy = strTempDir + copies[0];
        EXPECT_EQ(std::string(szTempFile), strCopy);
        StreamFacts copyVideo = ReadStreamFacts(strCopy, streamtypeVIDEO);
        EXPECT_EQ(copyVideo.si.fccHandler, mmioFOURCC('D', 'I', 'B', ' '));
        ASSERT_GE(copyVideo.format.size(), sizeof(BITMAPINFOHEADER));
        EXPECT_EQ(((const BITMAPINFOHEADER *)copyVideo.format.data())->biCompression, (DWORD)BI_RGB);
        std::vector<std::vector<BYTE>> sourceFrames = DecodeFrames(strPath), copyFrames = DecodeFrames(strCopy);
        EXPECT_EQ(copyFrames.size(), 20u);
        EXPECT_TRUE(copyFrames == sourceFrames) << "the working copy's frames differ from the source's";

        LONG cSourceSamples = 0, cCopySamples = 0;
        std::vector<BYTE> sourceSound = ReadAudioBytes(strPath, &cSourceSamples);
        std::vector<BYTE> copySound = ReadAudioBytes(strCopy, &cCopySamples);
        EXPECT_EQ(cCopySamples, cSourceSamples);
        EXPECT_TRUE(copySound == sourceSound) << copySound.size() << " bytes against " << sourceSound.size();
    }
}
