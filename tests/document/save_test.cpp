// Saving, read back by ffmpeg: each saved frame is the source's, or it with the figure over it where that is not white.
#include "app/app_state.h"
#include "document/document_state.h"
#include "document/save_commands.h"
#include "resources/resource.h"
#include "support/harness.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

namespace {

// Which saved frames carry the figure; each frame must be the source's, or it with the figure.
std::vector<bool> FramesWithFigure(const std::string &strSource, const std::string &strSaved,
                                   const Pixels &figure = ReadFigure())
{
    std::vector<Pixels> source = DecodeWithFfmpeg(strSource, cxCanvas, cyCanvas);
    std::vector<Pixels> saved = DecodeWithFfmpeg(strSaved, cxCanvas, cyCanvas);
    std::vector<bool> carried;
    for (size_t f = 0; f < saved.size(); f++) {
        carried.push_back(f < source.size() && saved[f] != source[f]);
        EXPECT_TRUE(!carried.back() || saved[f] == Overlay(source[f], figure)) << "frame " << f << " is neither";
    }
    return carried;
}

} // namespace

using SaveTest = ProgramTest;

TEST_F(SaveTest, SaveAsksForANameOnlyWhenItMustAndTheRangeDecidesWhichFramesCarryTheFigure)
{
    // An odd size: each frame chunk holds S = 3 (W + W mod 4)(H + H mod 4) bytes.
    std::string strPath = OpenPattern(65, 49, 6), strOriginal = AddFile("original.avi");
    CopyFileA(strPath.c_str(), strOriginal.c_str(), FALSE);
    Drag(TOOL_FILLRECT, RGB(200, 0, 0), 1, {{8, 8}, {40, 30}});
    Command(IDM_FILE_SAVE); // over the opened file; the document goes on reading its working copy
    EXPECT_EQ(FramesWithFigure(strOriginal, strPath), std::vector<bool>(6, true));
    Command(IDM_NEXT_FRAME);
    EXPECT_EQ(lCurFrame, 1);
    DeleteFileA(strPath.c_str()); // a file deleted meanwhile is written again
    Command(IDM_FILE_SAVE);
    EXPECT_TRUE(ReadStreamFacts(strPath, streamtypeVIDEO).fPresent);
    // A read-only file asks for a name, and so does a document without one, with the untitled name.
    SetFileAttributesA(strPath.c_str(), FILE_ATTRIBUTE_READONLY);
    robot.ExpectButton(IDCANCEL);
    Command(IDM_FILE_SAVE);
    SetFileAttributesA(strPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    szFileName[0] = '\0';
    robot.Expect([](HWND hdlg) {
        EXPECT_EQ(GetWindowTextWide(GetDlgItem(hdlg, 0x47C)), L"無題");
        DialogRobot::PressButton(hdlg, IDCANCEL);
    });
    Command(IDM_FILE_SAVE);
    const std::tuple<LONG, LONG, std::vector<bool>> aCases[] = {
        {2, -1, {false, false, true, true, true, true}},    {-1, 3, {true, true, true, true, false, false}},
        {4, 1, {false, false, false, false, false, false}}, {3, 100, {false, false, false, true, true, true}},
        {-1, -1, {true, true, true, true, true, true}},
    };
    std::string strSaved = AddFile("range.avi");
    for (auto &[nStart, nEnd, carried] : aCases) {
        nFigureStart = nStart;
        nFigureEnd = nEnd;
        ASSERT_TRUE(SaveDocumentAs(strSaved.c_str()));
        EXPECT_EQ(FramesWithFigure(strOriginal, strSaved), carried) << nStart << ".." << nEnd;
        EXPECT_EQ(ReadStreamFacts(strSaved, streamtypeVIDEO).data.size(), 6u * 3 * 66 * 50);
        EXPECT_FALSE(ReadStreamFacts(strSaved, streamtypeAUDIO).fPresent) << "sound in a save of a silent video";
    }
    // Yes at the question on closing saves, then closes.
    lstrcpyA(szFileName, strPath.c_str());
    Drag(TOOL_FILLELLIPSE, RGB(0, 150, 0), 1, {{5, 5}, {60, 40}});
    Pixels figure = ReadFigure();
    robot.ExpectButton(IDYES);
    CloseProgram();
    EXPECT_EQ(FramesWithFigure(strOriginal, strPath, figure), std::vector<bool>(6, true));
}

TEST_F(SaveTest, SaveWritesUncompressedKeyFramesAndTheSoundFromTheFirstFrameAndAFailedOrCancelledOneNothing)
{
    std::string strSource = OpenPattern(64, 48, 10, true), strSaved = AddFile("saved.avi");
    robot.ExpectText(strSaved);
    Command(IDM_FILE_SAVE_AS);
    StreamFacts video = ReadStreamFacts(strSaved, streamtypeVIDEO), audio = ReadStreamFacts(strSaved, streamtypeAUDIO);
    StreamFacts source = ReadStreamFacts(strSource, streamtypeAUDIO);
    EXPECT_EQ(std::make_pair(audio.lLength, audio.format), std::make_pair(source.lLength, source.format));
    std::string strFlags = Probe(strSaved, "-select_streams v -show_entries packet=flags -of csv=p=0");
    EXPECT_EQ(std::count(strFlags.begin(), strFlags.end(), 'K'), 10) << strFlags;
    EXPECT_EQ(Probe(strSaved, "-show_entries stream=index,codec_type -of csv=p=0"), "0,video\n1,audio\n");
    const BITMAPINFOHEADER *pbih = (const BITMAPINFOHEADER *)video.format.data();
    EXPECT_EQ(std::make_tuple(video.si.fccHandler, pbih->biBitCount, pbih->biCompression, pbih->biHeight > 0),
              std::make_tuple(mmioFOURCC('D', 'I', 'B', ' '), (WORD)24, (DWORD)BI_RGB, true));
    // Now the video starts at frame 5, half a second in, while the sound still starts at sample 0.
    AVISTREAMINFOA si = {};
    AVIStreamInfoA(pavisVideo, &si, sizeof si);
    si.dwStart = 5;
    ASSERT_EQ(EditStreamSetInfoA(pavisVideo, &si, sizeof si), 0);
    LONG lFirstSample = AVIStreamTimeToSample(pavisAudio, AVIStreamSampleToTime(pavisVideo, 5));
    ASSERT_TRUE(SaveDocumentAs(strSaved.c_str()));
    audio = ReadStreamFacts(strSaved, streamtypeAUDIO);
    EXPECT_EQ(audio.lLength, source.lLength - lFirstSample);
    ASSERT_GE(source.data.size(), audio.data.size());
    EXPECT_TRUE(std::equal(audio.data.begin(), audio.data.end(), source.data.end() - audio.data.size()));
    EXPECT_EQ(DecodeWithFfmpeg(strSaved, 64, 48).size(), 10u);
    // A failed save names the destination (or the folder without room), a cancelled one says nothing; either leaves
    // the destination as it was, and keeps the mark and no working copy but its own.
    auto failSave = [this](const std::string &strDest, const std::string &strFolder, const std::string &strNamed) {
        const std::string strKept = ReadFileBytes(strDest);
        const size_t cDue = robot.Seen().size() + !strNamed.empty();
        if (!strNamed.empty())
            robot.ExpectButton(IDOK);
        EXPECT_FALSE(SaveDocumentAs(strDest.c_str()));
        ASSERT_EQ(robot.Seen().size(), cDue);
        EXPECT_TRUE(strNamed.empty() || robot.Seen().back().strText.find(strNamed) != std::string::npos)
            << robot.Seen().back().strText;
        EXPECT_NE(GetWindowTextWide(hwndMain).find(L" * - Pelto"), std::wstring::npos) << "the title lost its mark";
        EXPECT_EQ(fModified, 1);
        EXPECT_TRUE(ReadFileBytes(strDest) == strKept) << "the failed save touched the destination";
        EXPECT_EQ(ListFolder(strFolder, "~CT*"), strFolder == strTempDir
                                                     ? std::vector<std::string>{szTempFile + strTempDir.size()}
                                                     : std::vector<std::string>())
            << "a working copy left behind";
        EXPECT_FALSE(SendMessageA(hwndStatus, SB_ISSIMPLE, 0, 0)) << "the panes are back";
    };
    auto markAfterOpening = [this](const std::string &strPath) {
        if (fModified)
            robot.ExpectButton(IDNO); // each next file drops the change
        OpenFile(strPath);
        Drag(TOOL_FILLRECT, RGB(200, 0, 0), 1, {{10, 10}, {50, 40}});
    };
    markAfterOpening(strSource);
    const std::string strNoFolder = strTempDir + "no such folder\\out.avi";
    failSave(strNoFolder, strTempDir, strNoFolder);
    // Esc in either stage of a long save: the status bar showed its progress, and timers ran meanwhile.
    markAfterOpening(MakeMedia("long.avi", "-f lavfi -i testsrc=size=320x240:rate=10 -f lavfi -i sine -frames:v 300 "
                                           "-c:v rawvideo -pix_fmt bgr24 -c:a pcm_s16le -shortest"));
    std::string strKept = AddFile("kept.avi");
    WriteFileBytes(strKept, "the old destination");
    static int nCancelAt, nShown, cTicks; // percent; the highest seen; timer ticks during the save
    for (int nAt : {10, 60}) {
        SCOPED_TRACE(nAt);
        nCancelAt = nAt;
        nShown = -1;
        cTicks = 0;
        UINT_PTR idTimer = SetTimer(NULL, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) {
            char szText[256] = "";
            cTicks++;
            if (!SendMessageA(hwndStatus, SB_ISSIMPLE, 0, 0))
                return;
            SendMessageA(hwndStatus, SB_GETTEXTA, 0, (LPARAM)szText);
            const char *pszPercent = strstr(szText, "... ");
            if (pszPercent && strchr(szText, '%') && (nShown = atoi(pszPercent + 4)) >= nCancelAt)
                PostMessageA(hwndMain, WM_KEYDOWN, VK_ESCAPE, 1);
        });
        failSave(strKept, strTempDir, "");
        KillTimer(NULL, idTimer);
        EXPECT_GE(nShown, nAt);
        EXPECT_LT(nShown, nAt + 40) << "cancelled late, or not at all";
        EXPECT_GE(cTicks, 2);
    }
    robot.ExpectButton(275);
    robot.Expect([](HWND hdlg) {
        HWND hwndCombo = GetDlgItem(hdlg, 880);
        SendMessageA(hwndCombo, CB_SETCURSEL, SendMessageA(hwndCombo, CB_FINDSTRING, -1, (LPARAM) "Cinepak"), 0);
        SendMessageA(hdlg, WM_COMMAND, MAKEWPARAM(880, CBN_SELCHANGE), (LPARAM)hwndCombo);
        DialogRobot::PressButton(hdlg, IDOK);
        DialogRobot::PressButton(GetWindow(hdlg, GW_OWNER), IDOK);
    });
    Command(IDM_COMPRESS_OPTIONS);
    ASSERT_EQ(aCompressOptions[SLOT_VIDEO].fccHandler, mmioFOURCC('c', 'v', 'i', 'd'));
    if (IsWine()) // Wine's compressors take the stream but cannot set its format: anything else written would lie
        failSave(strKept, strTempDir, strKept);
    markAfterOpening(MakeMedia("mjpeg.avi", "-f lavfi -i testsrc=size=64x48:rate=10 -frames:v 3 -c:v mjpeg"));
    failSave(strKept, strTempDir, strKept); // a video without a decoder has no frames to write
    SmallFolder small = MountSmallFolder("1m");
    if (small.strFolder.empty())
        GTEST_SKIP() << "no small file system can be mounted here: " << small.strError;
    const std::string strFolder = small.strFolder;
    markAfterOpening(
        MakeMedia("large.avi", "-f lavfi -i testsrc=size=320x240:rate=10 -frames:v 10 -c:v rawvideo -pix_fmt bgr24"));
    WriteFileBytes(strFolder + "kept.avi", "the old destination");
    // 2.3 MB of frames, refused before a byte is written, for want of room.
    failSave(strFolder + "kept.avi", strFolder, FormatResourceText(IDS_NO_ROOM, strFolder));
}

// The fast way (one pass where the copy would change nothing, frames read as bytes) writes exactly the plain way's
// bytes: inside and outside the range, with and without sound, with options that copy unchanged and with a video
// compressor asked for (one no codec here has: the platform's compressors here cannot set a format), which takes
// the fast way through the copy as well.
TEST_F(SaveTest, TheFastWayWritesTheBytesOfThePlainWay)
{
    for (bool fSound : {false, true}) {
        // Lines of 195 bytes of pixels, padded with a byte the surfaces would never write.
        std::string strSource = OpenPattern(65, 49, 6, fSound), strBytes = ReadFileBytes(strSource);
        for (size_t at = strBytes.find("00dc"); at != std::string::npos; at = strBytes.find("00dc", at + 1))
            for (size_t y = 0; y < 49 && at + 8 + 196 * 49 <= strBytes.size(); y++)
                strBytes[at + 8 + 196 * y + 195] = '\xAB';
        WriteFileBytes(strSource, strBytes);
        OpenFile(strSource);
        // Near-white covers like any colour; only pure white is transparent.
        Drag(TOOL_FILLRECT, RGB(254, 254, 254), 1, {{3, 3}, {30, 20}});
        Drag(TOOL_PEN, RGB(20, 120, 220), 5, {{10, 40}, {60, 5}, {64, 48}});
        nFigureStart = 2;
        nFigureEnd = 3;
        for (DWORD fccHandler : {mmioFOURCC('D', 'I', 'B', ' '), mmioFOURCC('n', 'o', 'n', 'e')}) {
            SCOPED_TRACE(std::to_string(fSound) + " " + std::to_string(fccHandler));
            aCompressOptions[SLOT_VIDEO].fccHandler = fccHandler;
            std::string strFast = AddFile("fast.avi"), strPlain = AddFile("plain.avi");
            ASSERT_TRUE(SaveToFile(strFast.c_str(), SAVE_FAST));
            ASSERT_TRUE(SaveToFile(strPlain.c_str(), SAVE_PLAIN));
            EXPECT_TRUE(ReadFileBytes(strFast) == ReadFileBytes(strPlain));
            EXPECT_EQ(ReadStreamFacts(strFast, streamtypeAUDIO).fPresent, fSound);
        }
    }
}
