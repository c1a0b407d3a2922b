// Opening a file: the working copy it reads, what a failed open says and leaves, odd frame rectangles, the save prompt.
#include "app/app_state.h"
#include "document/document_state.h"
#include "document/file_commands.h"
#include "resources/resource.h"
#include "support/harness.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <thread>

namespace {

const std::string strPattern = "-f lavfi -i testsrc=size=320x240:rate=10:duration=2 ";
const std::string strTone = "-f lavfi -i sine=frequency=440:sample_rate=22050:duration=2 ";
const std::string strRaw = "-c:v rawvideo -pix_fmt bgr24 ";

// Rewrites a file's bytes in place, at nOffset from the first pszTag after the first pszAfter.
void PatchFile(const std::string &strPath, const char *pszAfter, const char *pszTag, size_t nOffset,
               const std::string &strNew)
{
    std::string strBytes = ReadFileBytes(strPath);
    size_t nAt = strBytes.find(pszTag, strBytes.find(pszAfter));
    ASSERT_NE(nAt, std::string::npos);
    WriteFileBytes(strPath, strBytes.replace(nAt + nOffset, strNew.size(), strNew));
}

} // namespace

using OpenTest = ProgramTest;

TEST_F(OpenTest, RealFilesOpenThroughAnUncompressedWorkingCopyAndACutOneWithWhatIsWholeInIt)
{
    const std::string strPcm = "-c:a pcm_s16le";
    // The file, and its arguments after the pattern's.
    const std::pair<std::string, std::string> aCases[] = {
        {"tone.avi", strTone + strRaw + strPcm},
        {"cinepak.avi", strTone + "-c:v cinepak " + strPcm},
        {"video1.avi", strTone + "-c:v msvideo1 -c:a pcm_u8"},
        {"adpcm.avi", "-f lavfi -i sine=sample_rate=44100:duration=2 -ac 2 " + strRaw + "-c:a adpcm_ima_wav"},
        {"audio_first.avi", strTone + "-map 1:a -map 0:v " + strRaw + strPcm},
        {"two_videos.avi", "-f lavfi -i testsrc=size=160x120:rate=10:duration=2 -map 0:v -map 1:v " + strRaw},
        {"long_sound.avi", "-f lavfi -i sine=sample_rate=22050:duration=3 " + strRaw + strPcm},
        {"mjpeg.avi", strTone + "-c:v mjpeg " + strPcm},
    };
    for (auto &[strName, strArguments] : aCases) {
        SCOPED_TRACE(strName);
        std::string strPath = MakeMedia(strName, strPattern + strArguments);
        StreamFacts audio = ReadStreamFacts(strPath, streamtypeAUDIO);
        robot.ExpectText(strPath);
        Command(IDM_FILE_OPEN);
        ASSERT_NE(pavisVideo, (PAVISTREAM)NULL);
        RECT rc; // the view fits the frame
        GetClientRect(hwndView, &rc);
        EXPECT_EQ(std::make_tuple(cxFrame, cyFrame, rc.right, rc.bottom, lFrameCount, nFigureStart, nFigureEnd),
                  std::make_tuple(320L, 240L, 320L, 240L, 20L, 0L, 19L));
        // The sound's end as ffmpeg decodes it: the platform's own conversion is a millisecond off at some rates
        // and takes an ADPCM block for one sample.
        int nRate = 0, nChannels = 0;
        sscanf(Probe(strPath, "-select_streams a:0 -show_entries stream=sample_rate,channels -of csv=p=0").c_str(),
               "%d,%d", &nRate, &nChannels);
        LONG lSoundEnd =
            nRate ? std::lround(ReadSoundWithFfmpeg(strPath, "pcm_s16le").size() * 500.0 / nChannels / nRate) : 0;
        EXPECT_EQ(std::make_pair(lVideoEndTime, lEndTime.load()), std::make_pair(2000L, std::max(2000L, lSoundEnd)));
        ASSERT_EQ(ListFolder(strTempDir, "~CT*"), std::vector<std::string>{szTempFile + strTempDir.size()});
        StreamFacts copySound = ReadStreamFacts(szTempFile, streamtypeAUDIO);
        // MJPEG has no decoder here and stays as it is.
        EXPECT_EQ(((const BITMAPINFOHEADER *)ReadStreamFacts(szTempFile, streamtypeVIDEO).format.data())->biCompression,
                  strName == "mjpeg.avi" ? mmioFOURCC('M', 'J', 'P', 'G') : (DWORD)BI_RGB);
        // The copy's frames are the source's, where ffmpeg's Cinepak decoder may round one off the platform's.
        std::vector<Pixels> frames = DecodeWithFfmpeg(szTempFile, 320, 240), due = DecodeWithFfmpeg(strPath, 320, 240);
        ASSERT_EQ(frames.size(), due.size());
        for (size_t f = 0; f < frames.size(); f++)
            EXPECT_TRUE(SamePixels(frames[f], due[f], strName == "cinepak.avi")) << "frame " << f;
        // Other programs time the sound by its header: the platform's own writes an ADPCM block as one sample.
        const std::string strTimeBase = "-select_streams a:0 -show_entries stream=time_base -of csv=p=0";
        EXPECT_EQ(Probe(szTempFile, strTimeBase), Probe(strPath, strTimeBase));
        EXPECT_TRUE(copySound.data == audio.data) << copySound.data.size() << " bytes against " << audio.data.size();
        EXPECT_EQ(std::make_pair(copySound.lLength, pavisAudio ? AVIStreamLength(pavisAudio) : 0),
                  std::make_pair(audio.lLength, audio.lLength));
    }

    // A file cut short, as a download or a recording that stopped leaves it, opens with the whole frames and the
    // sound that are in it: those ffmpeg reads from it.
    std::string strBytes = ReadFileBytes(strTempDir + "tone.avi"), strCut = AddFile("cut.avi");
    for (size_t cb : {strBytes.size() * 3 / 10, strBytes.size() / 2 + 1001, strBytes.size() * 4 / 5}) {
        SCOPED_TRACE(cb);
        WriteFileBytes(strCut, strBytes.substr(0, cb));
        OpenFile(strCut);
        std::vector<Pixels> due = DecodeWithFfmpeg(strCut, 320, 240);
        EXPECT_EQ(lFrameCount, (LONG)due.size());
        EXPECT_TRUE(DecodeWithFfmpeg(szTempFile, 320, 240) == due);
        EXPECT_TRUE(ReadSoundWithFfmpeg(szTempFile) == ReadSoundWithFfmpeg(strCut));
    }
}

// The first read runs in a process of its own. A file it cannot read, one that brings the platform's AVI library
// down (a sound that starts at sample 1), a copy that stops making progress, a temporary folder that gives no name,
// and Esc while the copy runs each leave the open document, its figure (though the user declined to save it) and the
// temporary folder as they were, and the program answering; only a cancel says nothing. A file that was read but
// holds no usable video closes the document; a header our own check refuses (a sound of no channels) does not get
// that far. A file too large for the limit or the temporary folder's room is refused before the copy.
TEST_F(OpenTest, AFailedOpenCostsNothing_OddRectanglesAndTheSavePrompt)
{
    std::string strFirst = MakeMedia("first.avi", strPattern + strRaw);
    std::string strText = AddFile("notes.avi"), strSound = MakeMedia("sound.avi", strTone + "-c:a pcm_s16le");
    std::string strHuge = MakeMedia("huge.avi", strPattern + strRaw);
    // 30,000 by 20: wider than any surface may be.
    PatchFile(strHuge, "strh", "vids", 48, std::string("\0\0\0\0\x30\x75\x14\0", 8));
    // A sound of no channels: saved, it would make a file no other program reads.
    std::string strMute = MakeMedia("mute.avi", strPattern + strTone + strRaw + "-c:a pcm_s16le");
    PatchFile(strMute, "auds", "strf", 8 + 2, std::string(2, '\0'));
    std::string strCrash = MakeMedia("crash.avi", strPattern + strTone + strRaw + "-c:a pcm_s16le");
    PatchFile(strCrash, "strh", "auds", 28, std::string("\1\0\0\0", 4)); // a sound that starts at sample 1
    WriteFileBytes(strText, "not a video");
    // 360 Cinepak frames of one plain picture: 49 MB, whose working copy of whole frames would pass 2 GB.
    std::string strOne = MakeMedia("one.avi", "-f lavfi -i color=c=blue:s=1920x1080 -frames:v 1 -c:v cinepak");
    std::string strBig = MakeMedia("big.avi", "-stream_loop 359 -i '" + ToHostPath(strOne) + "' -c copy");
    SmallFolder small = MountSmallFolder("1m");
    auto cannotOpen = [](const std::string &strPath) { return FormatResourceText(IDS_CANNOT_OPEN, strPath); };
    HANDLE hStalled = CreateEventA(NULL, FALSE, FALSE, "PELTO_STALL_COPY");
    // The file, whether the open document stays, the temporary folder, the message ("" for none), and whether the
    // copy process stalls (test_main): then Esc cancels the open where no message is due.
    const std::tuple<std::string, bool, std::string, std::string, bool> aCases[] = {
        {strText, true, strTempDir, cannotOpen(strText), false},
        {strCrash, true, strTempDir, cannotOpen(strCrash), false},
        {strFirst, true, strTempDir, cannotOpen(strFirst), true},
        {strFirst, true, strTempDir, "", true},
        {strFirst, true, "C:\\" + std::string(300, 't'), cannotOpen(strFirst), false},
        {strSound, false, strTempDir, cannotOpen(strSound), false},
        {strHuge, false, strTempDir, cannotOpen(strHuge), false},
        {strMute, true, strTempDir, cannotOpen(strMute), false},
        {strBig, true, strTempDir, FormatResourceText(IDS_TOO_LARGE, strBig), false},
        {strFirst, true, small.strFolder, FormatResourceText(IDS_NO_ROOM, small.strFolder), false}};
    for (auto &[strPath, fKeepsDocument, strTemp, strMessage, fStalls] : aCases) {
        SCOPED_TRACE(strPath + " with the temporary folder " + strTemp);
        if (strTemp.empty()) {
            std::cout << "no small file system can be mounted here: " << small.strError << "\n";
            continue;
        }
        OpenFile(strFirst);
        Drag(TOOL_FILLRECT, RGB(200, 0, 0), 1, {{10, 10}, {50, 40}});
        const Pixels figure = ReadFigure();
        const std::vector<std::string> copies = ListFolder(strTempDir, "~CT*");
        const size_t cDue = robot.Seen().size() + 1 + !strMessage.empty();
        robot.ExpectButton(IDNO); // No drops the change, yet the figure stays while the open fails
        if (!strMessage.empty())
            robot.ExpectButton(IDOK);
        SetEnvironmentVariableA("TMP", strTemp.c_str());
        SetEnvironmentVariableA("PELTO_STALL_COPY", fStalls ? "1" : NULL);
        std::thread watcher([&] {
            if (!fStalls)
                return;
            // While the copy process waits the program answers, and its status bar says what it is doing.
            EXPECT_EQ(WaitForSingleObject(hStalled, 10000), WAIT_OBJECT_0) << "no copy process";
            char szText[256] = "";
            SendMessageA(hwndStatus, SB_GETTEXTA, 0, (LPARAM)szText);
            EXPECT_TRUE(SendMessageA(hwndStatus, SB_ISSIMPLE, 0, 0));
            EXPECT_NE(strstr(szText, " KB"), nullptr) << szText;
            if (strMessage.empty())
                PostMessageA(hwndMain, WM_KEYDOWN, VK_ESCAPE, 1);
        });
        OpenFilePath(strPath.c_str());
        watcher.join();
        SetEnvironmentVariableA("PELTO_STALL_COPY", NULL);
        SetEnvironmentVariableA("TMP", strTempDir.c_str());
        ASSERT_EQ(robot.Seen().size(), cDue);
        EXPECT_EQ(robot.Seen().back().strText,
                  strMessage.empty() ? FormatResourceText(IDS_SAVE_CHANGES, strFirst) : strMessage);
        EXPECT_TRUE(small.strFolder.empty() || ListFolder(small.strFolder).empty()) << "a copy left behind";
        EXPECT_EQ(pavisVideo != NULL, fKeepsDocument);
        EXPECT_EQ(std::string(szFileName), fKeepsDocument ? strFirst : "");
        EXPECT_EQ(ListFolder(strTempDir, "~CT*"), fKeepsDocument ? copies : std::vector<std::string>());
        EXPECT_EQ(GetWindowTextWide(hwndMain), fKeepsDocument ? WidenAnsi(strFirst) + L" - Pelto" : L"無題 - Pelto");
        EXPECT_TRUE(!fKeepsDocument || SamePixels(ReadFigure(), figure));
        EXPECT_FALSE(SendMessageA(hwndStatus, SB_ISSIMPLE, 0, 0)) << "the panes are back";
    }
    CloseHandle(hStalled);
    // A rectangle turned inside out is empty; narrow frames get their height though the menu bar wraps.
    PatchFile(strHuge, "strh", "vids", 48, std::string("\0\0\0\0\x40\x01\xE8\xFF", 8)); // 320 by -24
    OpenFile(strHuge);
    EXPECT_EQ(std::make_pair(cxFrame, cyFrame), std::make_pair(320L, 0L));
    for (int cx : {32, 120}) {
        OpenPattern(cx, 24, 2);
        RECT rc;
        GetClientRect(hwndView, &rc);
        EXPECT_EQ(rc.bottom, 24) << cx;
    }
    // The save prompt comes after the open dialog, and only for a changed figure (with none, the other opens here
    // meet no question: the robot fails on a dialog nobody expected).
    fModified = 1;
    robot.ExpectButton(IDCANCEL); // the open dialog cancelled: no question
    Command(IDM_FILE_OPEN);
    robot.ExpectText(strHuge); // Cancel at the question cancels the open
    robot.ExpectButton(IDCANCEL);
    Command(IDM_FILE_OPEN);
    EXPECT_EQ(WidenAnsi(robot.Seen().back().strText), WidenAnsi(szFileName) + L" への変更を保存しますか?");
    EXPECT_NE(std::string(szFileName), strHuge) << "the open went on";
    robot.ExpectButton(IDCANCEL); // and keeps the window when it is closed
    SendMessageA(hwndMain, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(hwndMain));
}
