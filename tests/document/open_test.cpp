// Opening a file as the user does, through the open dialog: the working copy the document reads, what a failed
// open says and leaves, the save prompt, shortcuts, the compression options and the window's fit.
#include "app/app_state.h"
#include "app/title.h"
#include "document/document_state.h"
#include "document/file_commands.h"
#include "resources/resource.h"
#include "support/harness.h"

namespace {

const std::string strPattern = "-f lavfi -i testsrc=size=320x240:rate=10:duration=2 ";
const std::string strTone = "-f lavfi -i sine=frequency=440:sample_rate=22050:duration=2 ";
const std::string strRaw = "-c:v rawvideo -pix_fmt bgr24 ";

class OpenTest : public ProgramTest {
protected:
    void OpenThroughDialog(const std::string &strPath)
    {
        robot.ExpectText(strPath);
        Command(IDM_FILE_OPEN);
    }
    std::vector<std::string> WorkingCopies()
    {
        std::vector<std::string> copies;
        for (const std::string &strName : ListFolder(strTempDir))
            if (strName.compare(0, 3, "~CT") == 0)
                copies.push_back(strName);
        return copies;
    }
};

// Writes the frame rectangle of the first video stream header in place.
void PatchFrameRect(const std::string &strPath, short left, short top, short right, short bottom)
{
    std::string strBytes = ReadFileBytes(strPath);
    size_t nAt = strBytes.find(std::string("strh\x38\0\0\0vids", 12));
    ASSERT_NE(nAt, std::string::npos);
    short asRect[4] = {left, top, right, bottom};
    memcpy(&strBytes[nAt + 8 + 48], asRect, sizeof asRect);
    WriteFileBytes(strPath, strBytes);
}

} // namespace

TEST_F(OpenTest, RealFilesOpenThroughAnUncompressedWorkingCopy)
{
    const struct Case {
        const char *pszName;
        std::string strArguments;
        bool fDecodes;
    } aCases[] = {
        {"cinepak.avi", strPattern + strTone + "-c:v cinepak -c:a pcm_s16le", true},
        {"video1.avi", strPattern + strTone + "-c:v msvideo1 -c:a pcm_u8", true},
        {"adpcm.avi", strPattern + "-f lavfi -i sine=sample_rate=44100:duration=2 -ac 2 " + strRaw + "-c:a adpcm_ima_wav",
         true},
        {"audio_first.avi", strPattern + strTone + "-map 1:a -map 0:v " + strRaw + "-c:a pcm_s16le", true},
        {"two_videos.avi", strPattern + "-f lavfi -i testsrc=size=160x120:rate=10:duration=2 -map 0:v -map 1:v " + strRaw,
         true},
        {"long_sound.avi", strPattern + "-f lavfi -i sine=sample_rate=22050:duration=3 " + strRaw + "-c:a pcm_s16le", true},
        {"mjpeg.avi", strPattern + strTone + "-c:v mjpeg -c:a pcm_s16le", false}, // no decoder here
    };
    for (const Case &c : aCases) {
        SCOPED_TRACE(c.pszName);
        std::string strPath = MakeMedia(c.pszName, c.strArguments);
        StreamFacts video = ReadStreamFacts(strPath, streamtypeVIDEO), audio = ReadStreamFacts(strPath, streamtypeAUDIO);
        OpenThroughDialog(strPath);
        ASSERT_NE(pavisVideo, (PAVISTREAM)NULL);
        EXPECT_EQ(GetWindowTextWide(hwndMain), WidenAnsi(strPath) + L" - Pelto");
        EXPECT_EQ(std::make_pair(cxFrame, cyFrame), std::make_pair(320L, 240L));
        EXPECT_EQ(lFrameCount, 20);
        EXPECT_EQ(lVideoEndTime, 2000);
        EXPECT_EQ(lEndTime, std::max(video.lEndTime, audio.lEndTime));
        EXPECT_EQ(std::make_pair(nFigureStart, nFigureEnd), std::make_pair(0L, 19L));
        EXPECT_EQ(pgfVideo != NULL, c.fDecodes);
        RECT rc;
        GetClientRect(hwndView, &rc);
        EXPECT_EQ(std::make_pair(rc.right, rc.bottom), std::make_pair(320L, 240L)) << "the view does not fit";

        ASSERT_EQ(WorkingCopies(), std::vector<std::string>{szTempFile + strTempDir.size()});
        StreamFacts copy = ReadStreamFacts(szTempFile, streamtypeVIDEO), copySound = ReadStreamFacts(szTempFile,
                                                                                                     streamtypeAUDIO);
        const BITMAPINFOHEADER *pbih = (const BITMAPINFOHEADER *)copy.format.data();
        EXPECT_EQ(pbih->biCompression, c.fDecodes ? (DWORD)BI_RGB : mmioFOURCC('M', 'J', 'P', 'G'));
        EXPECT_TRUE(DecodeFrames(szTempFile) == DecodeFrames(strPath)) << "the copy's frames differ";
        EXPECT_EQ(copySound.lLength, audio.lLength);
        EXPECT_TRUE(copySound.data == audio.data) << copySound.data.size() << " bytes against " << audio.data.size();
        EXPECT_EQ(pavisAudio ? AVIStreamLength(pavisAudio) : 0, audio.lLength);
    }
}

TEST_F(OpenTest, FailedOpenNamesTheFileAndLeavesNoCopy)
{
    std::string strFirst = MakeMedia("first.avi", strPattern + strRaw);
    std::string strText = AddFile("notes.avi"), strSound = MakeMedia("sound.avi", strTone + "-c:a pcm_s16le");
    std::string strHuge = MakeMedia("huge.avi", strPattern + strRaw);
    PatchFrameRect(strHuge, 0, 0, 30000, 20); // wider than any surface may be
    WriteFileBytes(strText, "not a video");
    const std::string strLongTemp = "C:\\" + std::string(300, 't');
    const struct Case {
        std::string strPath;
        bool fKeepsDocument; // a file that cannot be read leaves the open document
        const char *pszTemp; // the temporary folder, when not the test's own
    } aCases[] = {
        {strText, true, nullptr}, {strFirst, true, strLongTemp.c_str()}, {strSound, false, nullptr},
        {strHuge, false, nullptr},
    };
    for (const Case &c : aCases) {
        SCOPED_TRACE(c.strPath);
        OpenFile(strFirst);
        std::vector<std::string> copies = WorkingCopies();
        if (c.pszTemp)
            SetEnvironmentVariableA("TMP", c.pszTemp);
        robot.ExpectButton(IDOK);
        OpenFilePath(c.strPath.c_str());
        SetEnvironmentVariableA("TMP", strTempDir.c_str());
        ASSERT_FALSE(robot.Seen().empty());
        EXPECT_NE(robot.Seen().back().strText.find("'" + c.strPath + "'"), std::string::npos);
        EXPECT_EQ(pavisVideo != NULL, c.fKeepsDocument);
        EXPECT_EQ(std::string(szFileName), c.fKeepsDocument ? strFirst : "");
        EXPECT_EQ(WorkingCopies(), c.fKeepsDocument ? copies : std::vector<std::string>());
        EXPECT_EQ(GetWindowTextWide(hwndMain), c.fKeepsDocument ? WidenAnsi(strFirst) + L" - Pelto" : L"無題 - Pelto");
    }
}

TEST_F(OpenTest, FrameRectangleTurnedInsideOutCountsAsEmptyAndNarrowFramesGetTheirHeight)
{
    std::string strPath = MakeMedia("inside_out.avi", strPattern + strRaw);
    PatchFrameRect(strPath, 0, 0, 320, -24);
    OpenFile(strPath);
    EXPECT_EQ(std::make_pair(cxFrame, cyFrame), std::make_pair(320L, 0L));
    // The main window cannot be as narrow as these frames, and its menu bar wraps into several lines.
    for (int cx : {32, 120}) {
        OpenFile(MakeMedia("narrow" + std::to_string(cx) + ".avi",
                           "-f lavfi -i testsrc=size=" + std::to_string(cx) + "x24:rate=10 -frames:v 2 " + strRaw));
        RECT rc;
        GetClientRect(hwndView, &rc);
        EXPECT_EQ(rc.bottom, 24) << cx;
    }
}

TEST_F(OpenTest, SavePromptComesAfterTheDialogAndOnlyForAChangedFigure)
{
    std::string strFirst = MakeMedia("first.avi", strPattern + strRaw), strSecond = MakeMedia("second.avi", strPattern + strRaw);
    OpenThroughDialog(strFirst);
    fModified = 1;
    robot.ExpectButton(IDCANCEL); // the open dialog cancelled: no question
    Command(IDM_FILE_OPEN);
    robot.ExpectText(strSecond);  // Cancel at the question cancels the open
    robot.ExpectButton(IDCANCEL);
    Command(IDM_FILE_OPEN);
    ASSERT_EQ(robot.Seen().size(), 4u);
    EXPECT_EQ(WidenAnsi(robot.Seen()[3].strText), WidenAnsi(strFirst) + L" への変更を保存しますか?");
    EXPECT_EQ(std::string(szFileName), strFirst);
    robot.ExpectButton(IDCANCEL); // and keeps the window when it is closed
    SendMessageA(hwndMain, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(hwndMain));
    robot.ExpectText(strSecond);  // No discards the change
    robot.ExpectButton(IDNO);
    Command(IDM_FILE_OPEN);
    EXPECT_EQ(fModified, 0);
    EXPECT_EQ(std::string(szFileName), strSecond);
    OpenThroughDialog(strFirst);  // nothing changed: no question
    EXPECT_EQ(robot.Seen().size(), 8u);
}
