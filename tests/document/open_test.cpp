// Opening a file as the user does: the Open command, the open dialog answered by the robot, and the
// working copy from which the document is read.
#include "app/app_state.h"
#include "app/title.h"
#include "document/document_state.h"
#include "document/file_commands.h"
#include "resources/resource.h"
#include "support/avi_maker.h"
#include "support/avi_reader.h"
#include "support/host_tools.h"
#include "support/document_test.h"

#include <shlobj.h>

#include <algorithm>

namespace {

// Test media made by ffmpeg: a test pattern, and a tone where a case has sound.
const char *const pszPattern = "-f lavfi -i testsrc=size=320x240:rate=10:duration=2 ";
const char *const pszTone = "-f lavfi -i sine=frequency=440:sample_rate=22050:duration=2 ";

class OpenTest : public DocumentTest {
protected:
    std::string MakeTextFile(const char *pszName)
    {
        std::string strPath = AddMedia(pszName);
        HANDLE hfile = CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        DWORD cb;
        WriteFile(hfile, "not a video", 11, &cb, NULL);
        CloseHandle(hfile);
        return strPath;
    }

    // The robot chooses strPath in the next open dialog.
    void ExpectOpenDialog(const std::string &strPath)
    {
        robot.Expect([strPath](HWND hdlg) {
            DialogRobot::SetItemText(hdlg, 0x47C, strPath.c_str());
            DialogRobot::PressButton(hdlg, IDOK);
        });
    }

    // The Open command with the robot choosing strPath in the open dialog.
    void OpenThroughDialog(const std::string &strPath)
    {
        ExpectOpenDialog(strPath);
        Command(IDM_FILE_OPEN);
    }

    // A message box that the open is expected to show, answered with OK.
    void ExpectMessage() { robot.Expect([](HWND hdlg) { DialogRobot::PressButton(hdlg, IDOK); }); }

    std::vector<std::string> WorkingCopies()
    {
        std::vector<std::string> copies;
        for (const std::string &strName : ListFolder(strTempDir))
            if (strName.size() >= 8 && strName.size() <= 11 && strName.compare(0, 3, "~CT") == 0 &&
                strName.compare(strName.size() - 4, 4, ".AVI") == 0)
                copies.push_back(strName);
        return copies;
    }
};

std::string ReadFileBytes(const std::string &strPath)
{
    std::string strBytes;
    HANDLE hfile = CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    DWORD cb = GetFileSize(hfile, NULL);
    strBytes.resize(cb == INVALID_FILE_SIZE ? 0 : cb);
    if (!strBytes.empty())
        ReadFile(hfile, &strBytes[0], cb, &cb, NULL);
    CloseHandle(hfile);
    return strBytes;
}

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

TEST_F(OpenTest, StreamsAreTakenByTypeFirstOfEach)
{
    struct Case {
        const char *pszName;
        std::string strArguments;
        LONG cxExpected;
        bool fSound;
        bool fSoundEndsLater;
    } aCases[] = {
        {"audio_first.avi", std::string(pszPattern) + pszTone + "-map 1:a -map 0:v -c:v rawvideo -pix_fmt bgr24 -c:a pcm_s16le",
         320, true, false},
        {"two_videos.avi",
         std::string(pszPattern) + "-f lavfi -i testsrc=size=160x120:rate=10:duration=2 -map 0:v -map 1:v "
                                   "-c:v rawvideo -pix_fmt bgr24",
         320, false, false},
        {"long_sound.avi",
         std::string(pszPattern) + "-f lavfi -i sine=sample_rate=22050:duration=3 -c:v rawvideo -pix_fmt bgr24 -c:a pcm_s16le",
         320, true, true},
        {"short_sound.avi",
         std::string(pszPattern) + "-f lavfi -i sine=sample_rate=22050:duration=1 -c:v rawvideo -pix_fmt bgr24 -c:a pcm_s16le",
         320, true, false},
    };
    for (const Case &c : aCases) {
        SCOPED_TRACE(c.pszName);
        std::string strPath = MakeMedia(c.pszName, c.strArguments);
        OpenThroughDialog(strPath);
        ASSERT_NE(pavisVideo, (PAVISTREAM)NULL);
        AVISTREAMINFOA si = {};
        AVIStreamInfoA(pavisVideo, &si, sizeof si);
        EXPECT_EQ(si.fccType, streamtypeVIDEO);
        EXPECT_EQ(cxFrame, c.cxExpected);
        EXPECT_EQ(pavisAudio != NULL, c.fSound);
        if (pavisAudio) {
            AVIStreamInfoA(pavisAudio, &si, sizeof si);
            EXPECT_EQ(si.fccType, streamtypeAUDIO);
        }
        EXPECT_EQ(lVideoEndTime, 2000);
        // Sound that runs longer ends the document later, at its end as the library counts it.
        LONG lSoundEnd = ReadStreamFacts(strPath, streamtypeAUDIO).lEndTime;
        EXPECT_EQ(lEndTime, c.fSoundEndsLater ? lSoundEnd : 2000);
        EXPECT_EQ(lEndTime > lVideoEndTime, c.fSoundEndsLater);
        EXPECT_EQ(lCurTime, 0);
    }
}

TEST_F(OpenTest, FileWithoutVideoIsNamedAndLeavesNothingOpen)
{
    std::string strVideo = MakeMedia("video.avi", std::string(pszPattern) + "-c:v rawvideo -pix_fmt bgr24");
    std::string strSound = MakeMedia("sound.avi", std::string(pszTone) + "-c:a pcm_s16le");
    OpenThroughDialog(strVideo);
    ASSERT_NE(pavisVideo, (PAVISTREAM)NULL);

    ExpectOpenDialog(strSound);
    ExpectMessage();
    Command(IDM_FILE_OPEN);
    ASSERT_EQ(robot.Seen().size(), 3u);
    EXPECT_EQ(robot.Seen()[2].strText, "'" + strSound + "' " + "\x82\xF0\x8A\x4A\x82\xAF\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82\xBD");
    EXPECT_EQ(pavisVideo, (PAVISTREAM)NULL);
    EXPECT_EQ(pavisAudio, (PAVISTREAM)NULL);
    EXPECT_EQ(nFigureStart, -1);
    EXPECT_TRUE(WorkingCopies().empty()) << "a working copy outlived its document";
    EXPECT_EQ(GetWindowTextWide(hwndMain), L"無題 - Pelto");
}

TEST_F(OpenTest, FileWithNeitherStreamIsNotADocument)
{
    std::string strEmpty = AddMedia("empty.avi");
    ASSERT_TRUE(MakeTextOnlyAviFile(strEmpty));
    ExpectOpenDialog(strEmpty);
    ExpectMessage();
    Command(IDM_FILE_OPEN);
    ASSERT_EQ(robot.Seen().size(), 2u);
    EXPECT_NE(robot.Seen()[1].strText.find(strEmpty), std::string::npos);
    EXPECT_EQ(pavisVideo, (PAVISTREAM)NULL);
    EXPECT_TRUE(WorkingCopies().empty());
}

TEST_F(OpenTest, VideoWithoutDecoderOpensWithoutFrameAccess)
{
    OpenThroughDialog(MakeMedia("mjpeg.avi", std::string(pszPattern) + pszTone + "-c:v mjpeg -c:a pcm_s16le"));
    ASSERT_NE(pavisVideo, (PAVISTREAM)NULL);
    EXPECT_EQ(pgfVideo, (PGETFRAME)NULL);
    EXPECT_EQ(hddVideo, (HDRAWDIB)NULL);
    EXPECT_EQ(lFrameCount, 20);
    EXPECT_NE(pavisAudio, (PAVISTREAM)NULL);
    // The copy holds the video in its own format: no compressor could make frames of it here.
    StreamFacts copy = ReadStreamFacts(szTempFile, streamtypeVIDEO);
    EXPECT_EQ(((const BITMAPINFOHEADER *)copy.format.data())->biCompression, mmioFOURCC('M', 'J', 'P', 'G'));
}

TEST_F(OpenTest, WorkingCopyKeepsEverySampleOfTheSound)
{
    struct Case {
        const char *pszName;
        const char *pszCodec;
    } aCases[] = {{"pcm.avi", "pcm_s16le"}, {"adpcm.avi", "adpcm_ima_wav"}, {"pcm8.avi", "pcm_u8"}};
    for (const Case &c : aCases) {
        SCOPED_TRACE(c.pszName);
        std::string strPath = MakeMedia(c.pszName, std::string(pszPattern) +
                                                       "-f lavfi -i sine=sample_rate=44100:duration=2 -ac 2 "
                                                       "-c:v rawvideo -pix_fmt bgr24 -c:a " + c.pszCodec);
        OpenThroughDialog(strPath);
        ASSERT_NE(pavisAudio, (PAVISTREAM)NULL);
        LONG cSource = 0, cCopy = 0;
        std::vector<BYTE> source = ReadAudioBytes(strPath, &cSource);
        std::vector<BYTE> copy = ReadAudioBytes(szTempFile, &cCopy);
        EXPECT_GT(cSource, 0);
        EXPECT_EQ(cCopy, cSource);
        EXPECT_TRUE(copy == source) << copy.size() << " bytes against " << source.size();
        // The document reads the copy: its stream has the source's length.
        EXPECT_EQ(AVIStreamLength(pavisAudio), cSource);
    }
}

TEST_F(OpenTest, NextFileReplacesTheWorkingCopyOnlyOnceOpened)
{
    std::string strFirst = MakeMedia("first.avi", std::string(pszPattern) + "-c:v rawvideo -pix_fmt bgr24");
    std::string strSecond = MakeMedia("second.avi", std::string(pszPattern) + "-c:v rawvideo -pix_fmt bgr24");
    std::string strText = MakeTextFile("notes.avi");
    OpenThroughDialog(strFirst);
    std::vector<std::string> firstCopies = WorkingCopies();
    ASSERT_EQ(firstCopies.size(), 1u);

    // A file that is not an AVI file: the message names it, and the document stays as it was.
    ExpectOpenDialog(strText);
    ExpectMessage();
    Command(IDM_FILE_OPEN);
    ASSERT_EQ(robot.Seen().size(), 3u);
    EXPECT_NE(robot.Seen()[2].strText.find("'" + strText + "'"), std::string::npos);
    EXPECT_NE(pavisVideo, (PAVISTREAM)NULL);
    EXPECT_EQ(std::string(szFileName), strFirst);
    EXPECT_EQ(GetWindowTextWide(hwndMain), TitleOf(strFirst));
    EXPECT_EQ(WorkingCopies(), firstCopies) << "the failed open left a file or took the working copy";

    OpenThroughDialog(strSecond);
    std::vector<std::string> secondCopies = WorkingCopies();
    ASSERT_EQ(secondCopies.size(), 1u);
    EXPECT_NE(secondCopies, firstCopies);
    EXPECT_EQ(std::string(szFileName), strSecond);
}

TEST_F(OpenTest, SavePromptComesAfterTheDialogAndOnlyForAChangedFigure)
{
    std::string strFirst = MakeMedia("first.avi", std::string(pszPattern) + "-c:v rawvideo -pix_fmt bgr24");
    std::string strSecond = MakeMedia("second.avi", std::string(pszPattern) + "-c:v rawvideo -pix_fmt bgr24");
    OpenThroughDialog(strFirst);
    fModified = 1;
    UpdateTitle();

    // Cancelling the dialog never asks.
    robot.Expect([](HWND hdlg) { DialogRobot::PressButton(hdlg, IDCANCEL); });
    Command(IDM_FILE_OPEN);
    EXPECT_EQ(robot.Seen().size(), 2u);

    // Cancel at the prompt cancels the open.
    ExpectOpenDialog(strSecond);
    robot.Expect([](HWND hdlg) { DialogRobot::PressButton(hdlg, IDCANCEL); });
    Command(IDM_FILE_OPEN);
    ASSERT_EQ(robot.Seen().size(), 4u);
    EXPECT_EQ(WidenAnsi(robot.Seen()[3].strText), WidenAnsi(strFirst) + L" への変更を保存しますか?");
    EXPECT_EQ(std::string(szFileName), strFirst);
    EXPECT_EQ(fModified, 1);

    // Cancel at the prompt keeps the window when it is closed.
    robot.Expect([](HWND hdlg) { DialogRobot::PressButton(hdlg, IDCANCEL); });
    SendMessageA(hwndMain, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(hwndMain));

    // No discards the change: the mark goes and the file opens.
    ExpectOpenDialog(strSecond);
    robot.Expect([](HWND hdlg) { DialogRobot::PressButton(hdlg, IDNO); });
    Command(IDM_FILE_OPEN);
    EXPECT_EQ(fModified, 0);
    EXPECT_EQ(std::string(szFileName), strSecond);
    EXPECT_EQ(GetWindowTextWide(hwndMain), TitleOf(strSecond));

    // Nothing changed: no prompt.
    size_t cSeen = robot.Seen().size();
    OpenThroughDialog(strFirst);
    EXPECT_EQ(robot.Seen().size(), cSeen + 1);
    for (const SeenDialog &seen : robot.Seen())
        EXPECT_TRUE(seen.fExpected) << seen.strText;
}

TEST_F(OpenTest, CompressionOptionsStartFromTheDefaults)
{
    for (bool fSound : {true, false}) {
        SCOPED_TRACE(fSound ? "with sound" : "without sound");
        std::string strArguments = std::string(pszPattern) + (fSound ? pszTone : "") + "-c:v rawvideo -pix_fmt bgr24 -c:a pcm_s16le";
        OpenThroughDialog(MakeMedia(fSound ? "sound.avi" : "silent.avi", strArguments));
        ASSERT_NE(pavisVideo, (PAVISTREAM)NULL);
        const AVICOMPRESSOPTIONS &video = aCompressOptions[SLOT_VIDEO];
        EXPECT_EQ(apCompressOptions[SLOT_VIDEO], &aCompressOptions[SLOT_VIDEO]);
        EXPECT_EQ(video.fccType, streamtypeVIDEO);
        EXPECT_EQ(video.fccHandler, mmioFOURCC('D', 'I', 'B', ' '));
        EXPECT_EQ(video.dwKeyFrameEvery, 15u);
        EXPECT_EQ(video.dwQuality, 10000u);
        EXPECT_EQ(video.dwBytesPerSecond, 0u);
        EXPECT_EQ(video.dwFlags, 0x0Eu);
        EXPECT_EQ(video.lpFormat, nullptr);
        EXPECT_EQ(video.cbFormat, 0u);
        EXPECT_EQ(video.lpParms, nullptr);
        EXPECT_EQ(video.dwInterleaveEvery, 1u);
        if (!fSound)
            continue;
        const AVICOMPRESSOPTIONS &audio = aCompressOptions[SLOT_AUDIO];
        EXPECT_EQ(audio.fccType, streamtypeAUDIO);
        EXPECT_EQ(audio.fccHandler, 0u);
        EXPECT_EQ(audio.dwFlags, 0x08u);
        EXPECT_EQ(audio.dwInterleaveEvery, 1u);
        StreamFacts facts = ReadStreamFacts(szTempFile, streamtypeAUDIO);
        ASSERT_EQ(audio.cbFormat, facts.format.size());
        ASSERT_NE(audio.lpFormat, nullptr);
        EXPECT_EQ(memcmp(audio.lpFormat, facts.format.data(), audio.cbFormat), 0);
        EXPECT_NE(GlobalHandle(audio.lpFormat), (HGLOBAL)NULL) << "the format copy is not a global block";
    }
}

TEST_F(OpenTest, CompressionDialogIsThePlatformsAndCancelKeepsTheOptions)
{
    OpenThroughDialog(MakeMedia("sound.avi", std::string(pszPattern) + pszTone + "-c:v rawvideo -pix_fmt bgr24 -c:a pcm_s16le"));
    AVICOMPRESSOPTIONS before[SLOT_COUNT];
    memcpy(before, aCompressOptions, sizeof before);
    robot.Expect([](HWND hdlg) { DialogRobot::PressButton(hdlg, IDCANCEL); });
    Command(IDM_COMPRESS_OPTIONS);
    ASSERT_EQ(robot.Seen().size(), 2u);
    EXPECT_TRUE(robot.Seen()[1].fExpected);
    EXPECT_EQ(memcmp(before, aCompressOptions, sizeof before), 0);
    // Closing the document frees the options.
    SendMessageA(hwndMain, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_EQ(aCompressOptions[SLOT_AUDIO].lpFormat, nullptr);
}

TEST_F(OpenTest, LongPathIsCutInItsMessage)
{
    // A file that is not an AVI file, named by a path of 259 bytes.
    std::string strFolder = strTempDir + std::string(180, 'd');
    ASSERT_TRUE(CreateDirectoryA(strFolder.c_str(), NULL));
    std::string strPath = strFolder + "\\" + std::string(258 - strFolder.size() - 5, 'f') + ".avi";
    ASSERT_EQ(strPath.size(), 258u);
    HANDLE hfile = CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    WriteFile(hfile, "not a video", 11, NULL, NULL);
    CloseHandle(hfile);

    ExpectMessage();
    OpenFilePath(strPath.c_str());
    ASSERT_EQ(robot.Seen().size(), 1u);
    const std::string &strText = robot.Seen()[0].strText;
    EXPECT_LT(strText.size(), 256u);
    EXPECT_EQ(strText.compare(0, 100, "'" + strPath.substr(0, 99)), 0) << strText;
    EXPECT_EQ(pavisVideo, (PAVISTREAM)NULL);
    DeleteFileA(strPath.c_str());
    RemoveDirectoryA(strFolder.c_str());
}

TEST_F(OpenTest, ShortcutOpensItsTarget)
{
    std::string strTarget = MakeMedia("target.avi", std::string(pszPattern) + "-c:v rawvideo -pix_fmt bgr24");
    std::string strLink = AddMedia("clip.lnk");
    CoInitialize(NULL);
    IShellLinkA *psl = NULL;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void **)&psl), S_OK);
    psl->SetPath(strTarget.c_str());
    IPersistFile *ppf = NULL;
    psl->QueryInterface(IID_IPersistFile, (void **)&ppf);
    ASSERT_EQ(ppf->Save(WidenAnsi(strLink).c_str(), TRUE), S_OK);
    ppf->Release();
    psl->Release();

    EXPECT_TRUE(OpenFilePath(strLink.c_str()));
    ASSERT_NE(pavisVideo, (PAVISTREAM)NULL);
    EXPECT_EQ(std::string(szFileName), strTarget);
    EXPECT_EQ(GetWindowTextWide(hwndMain), TitleOf(strTarget));
}

// Writes the frame rectangle of the first video stream header of an AVI file in place.
static bool PatchFrameRect(const std::string &strPath, short left, short top, short right, short bottom)
{
    std::string strBytes = ReadFileBytes(strPath);
    size_t nAt = strBytes.find(std::string("strh\x38\0\0\0vids", 12));
    if (nAt == std::string::npos)
        return false;
    short asRect[4] = {left, top, right, bottom};
    memcpy(&strBytes[nAt + 8 + 48], asRect, sizeof asRect);
    HANDLE hfile = CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD cb = 0;
    WriteFile(hfile, strBytes.data(), (DWORD)strBytes.size(), &cb, NULL);
    CloseHandle(hfile);
    return cb == strBytes.size();
}

TEST_F(OpenTest, FrameRectangleTurnedInsideOutCountsAsEmpty)
{
    std::string strPath = MakeMedia("inside_out.avi", std::string(pszPattern) + "-c:v rawvideo -pix_fmt bgr24");
    // A negative height; the library here mends a negative width from the format by itself.
    ASSERT_TRUE(PatchFrameRect(strPath, 0, 0, 320, -24));
    EXPECT_TRUE(OpenFilePath(strPath.c_str()));
    ASSERT_NE(pavisVideo, (PAVISTREAM)NULL);
    EXPECT_EQ(cxFrame, 320);
    EXPECT_EQ(cyFrame, 0);
    EXPECT_GE(cyCanvas, 0);
}

TEST_F(OpenTest, NarrowFramesStillGetTheirWholeHeight)
{
    // The main window cannot be as narrow as these frames, and its menu bar wraps into several lines.
    for (int cx : {32, 120}) {
        SCOPED_TRACE(cx);
        std::string strPath = MakeMedia(cx == 32 ? "narrow32.avi" : "narrow120.avi",
                                        "-f lavfi -i testsrc=size=" + std::to_string(cx) +
                                            "x24:rate=10 -frames:v 2 -c:v rawvideo -pix_fmt bgr24");
        ASSERT_TRUE(OpenFilePath(strPath.c_str()));
        RECT rc;
        GetClientRect(hwndView, &rc);
        EXPECT_EQ(rc.bottom, 24);
        EXPECT_GE(rc.right, cx);
    }
}
