// Saving the annotated file, checked by an independent reader: ffmpeg decodes what the program wrote, and every
// saved frame must be the source frame, or the source frame with the figure laid over it where it is not white.
#include "app/app_state.h"
#include "document/document_state.h"
#include "document/save_commands.h"
#include "resources/resource.h"
#include "support/harness.h"

#include <algorithm>

namespace {

class SaveTest : public ProgramTest {
protected:
    // Which saved frames carry the figure; each frame must be the source's, or it with the figure.
    std::vector<bool> FramesWithFigure(const std::string &strSource, const std::string &strSaved,
                                       const Pixels &figure = ReadFigure())
    {
        std::vector<Pixels> source = DecodeWithFfmpeg(strSource, cxCanvas, cyCanvas);
        std::vector<Pixels> saved = DecodeWithFfmpeg(strSaved, cxCanvas, cyCanvas);
        EXPECT_EQ(saved.size(), source.size());
        std::vector<bool> carried;
        for (size_t f = 0; f < std::min(saved.size(), source.size()); f++) {
            EXPECT_TRUE(saved[f] == source[f] || saved[f] == Overlay(source[f], figure)) << "frame " << f << " is neither";
            carried.push_back(saved[f] != source[f]);
        }
        return carried;
    }
    // A file of our own, to see whether a failed save left it alone.
    std::string MakeOldFile(const std::string &strPath)
    {
        WriteFileBytes(strPath, "the old destination");
        return ReadFileBytes(strPath);
    }
    void ExpectFailedSave(const std::string &strDest, const std::string &strOld, const std::string &strFolder)
    {
        ASSERT_FALSE(robot.Seen().empty());
        EXPECT_NE(robot.Seen().back().strText.find(strDest), std::string::npos) << robot.Seen().back().strText;
        EXPECT_EQ(fModified, 1);
        EXPECT_NE(GetWindowTextWide(hwndMain).find(L" * - Pelto"), std::wstring::npos) << "the title lost its mark";
        EXPECT_TRUE(ReadFileBytes(strDest) == strOld) << "the failed save touched the destination";
        for (const std::string &strName : ListFolder(strFolder))
            EXPECT_TRUE(strName.compare(0, 3, "~CT") != 0 || strTempDir + strName == szTempFile) << strName;
    }
};

// A small file system of the host, mounted for one test and gone after it.
struct SmallDisk {
    SmallDisk()
    {
        strMount = "/tmp/pelto-full-" + std::to_string(GetCurrentProcessId());
        fMounted = RunHostCommand("mkdir -p " + strMount + " && mount -t tmpfs -o size=1m tmpfs " + strMount, &strError);
        strFolder = "Z:" + strMount + "\\";
        std::replace(strFolder.begin(), strFolder.end(), '/', '\\');
    }
    ~SmallDisk()
    {
        if (fMounted)
            RunHostCommand("umount " + strMount + " && rmdir " + strMount);
    }
    bool fMounted;
    std::string strMount, strFolder, strError;
};

} // namespace

TEST_F(SaveTest, SavedFileCarriesTheFigureInItsRangeAndTheSoundUnchanged)
{
    std::string strSource = OpenPattern(320, 240, 10, true);
    Drag(TOOL_FILLRECT, RGB(200, 30, 30), 1, {{20, 20}, {120, 90}});
    Drag(TOOL_ELLIPSE, RGB(0xFE, 0xFE, 0xFE), 3, {{100, 60}, {220, 180}}); // near-white is not transparent
    Drag(TOOL_PEN, RGB(0, 0, 255), 2, {{10, 200}, {300, 230}});
    robot.ExpectText("Pelto", IDC_TEXT_EDIT);
    Drag(TOOL_TEXT, RGB(0, 160, 0), 1, {{200, 20}});
    for (UINT id : {IDM_NEXT_FRAME, IDM_NEXT_FRAME, IDM_NEXT_FRAME, IDM_SET_FIGURE_START, IDM_NEXT_FRAME,
                    IDM_NEXT_FRAME, IDM_NEXT_FRAME, IDM_SET_FIGURE_END})
        Command(id);
    std::string strSaved = AddFile("saved.avi");
    robot.ExpectText(strSaved);
    Command(IDM_FILE_SAVE_AS);
    EXPECT_EQ(std::string(szFileName), strSaved);
    EXPECT_EQ(GetWindowTextWide(hwndMain), WidenAnsi(strSaved) + L" - Pelto");

    EXPECT_EQ(FramesWithFigure(strSource, strSaved),
              (std::vector<bool>{false, false, false, true, true, true, true, false, false, false}));
    std::string strSound = ReadSoundWithFfmpeg(strSource);
    EXPECT_GT(strSound.size(), 0u);
    EXPECT_TRUE(ReadSoundWithFfmpeg(strSaved) == strSound);
    StreamFacts video = ReadStreamFacts(strSaved, streamtypeVIDEO), audio = ReadStreamFacts(strSaved, streamtypeAUDIO);
    EXPECT_EQ(audio.lLength, ReadStreamFacts(strSource, streamtypeAUDIO).lLength) << "the library reads other samples";
    EXPECT_TRUE(audio.format == ReadStreamFacts(strSource, streamtypeAUDIO).format) << "not in its own format";
    std::string strFlags = Probe(strSaved, "-select_streams v -show_entries packet=flags -of csv=p=0");
    EXPECT_EQ(std::count(strFlags.begin(), strFlags.end(), 'K'), 10) << strFlags;
    EXPECT_EQ(Probe(strSaved, "-show_entries stream=index,codec_type -of csv=p=0"), "0,video\n1,audio\n");
    const BITMAPINFOHEADER *pbih = (const BITMAPINFOHEADER *)video.format.data();
    EXPECT_EQ(std::make_tuple(video.si.fccHandler, pbih->biBitCount, pbih->biCompression, pbih->biHeight > 0),
              std::make_tuple(mmioFOURCC('D', 'I', 'B', ' '), (WORD)24, (DWORD)BI_RGB, true));
}

TEST_F(SaveTest, FigureRangeDecidesWhichFramesCarryIt)
{
    // An odd size: each frame chunk holds S = 3 (W + W mod 4)(H + H mod 4) bytes.
    std::string strSource = OpenPattern(65, 49, 6);
    Drag(TOOL_FILLRECT, RGB(10, 200, 10), 1, {{8, 8}, {40, 30}});
    const struct Case {
        LONG nStart, nEnd;
        std::vector<bool> carried;
    } aCases[] = {
        {-1, -1, {true, true, true, true, true, true}},       {2, -1, {false, false, true, true, true, true}},
        {-1, 3, {true, true, true, true, false, false}},      {4, 1, {false, false, false, false, false, false}},
        {3, 100, {false, false, false, true, true, true}},
    };
    for (const Case &c : aCases) {
        nFigureStart = c.nStart;
        nFigureEnd = c.nEnd;
        std::string strSaved = AddFile("range.avi");
        ASSERT_TRUE(SaveDocumentAs(strSaved.c_str()));
        EXPECT_EQ(FramesWithFigure(strSource, strSaved), c.carried) << c.nStart << ".." << c.nEnd;
        EXPECT_EQ(ReadStreamFacts(strSaved, streamtypeVIDEO).data.size(), 6u * 3 * 66 * 50);
        EXPECT_FALSE(ReadStreamFacts(strSaved, streamtypeAUDIO).fPresent) << "sound in a save of a silent video";
    }
}

TEST_F(SaveTest, ChosenCompressorIsUsedOrTheSaveFailsAndSaysSo)
{
    OpenPattern(64, 48, 4, true);
    Drag(TOOL_FILLRECT, RGB(0, 0, 200), 1, {{4, 4}, {30, 30}});
    // Compression options, then the compressor dialog with Cinepak chosen.
    robot.ExpectButton(275);
    robot.Expect([](HWND hdlg) {
        HWND hwndCombo = GetDlgItem(hdlg, 880);
        SendMessageA(hwndCombo, CB_SETCURSEL, SendMessageA(hwndCombo, CB_FINDSTRING, -1, (LPARAM)"Cinepak"), 0);
        SendMessageA(hdlg, WM_COMMAND, MAKEWPARAM(880, CBN_SELCHANGE), (LPARAM)hwndCombo);
        DialogRobot::PressButton(hdlg, IDOK);
        DialogRobot::PressButton(GetWindow(hdlg, GW_OWNER), IDOK);
    });
    Command(IDM_COMPRESS_OPTIONS);
    ASSERT_EQ(aCompressOptions[SLOT_VIDEO].fccHandler, mmioFOURCC('c', 'v', 'i', 'd'));
    std::string strDest = AddFile("cinepak.avi"), strOld = MakeOldFile(strDest);
    if (!IsWine()) {
        ASSERT_TRUE(SaveDocumentAs(strDest.c_str()));
        EXPECT_EQ(Probe(strDest, "-select_streams v -show_entries stream=codec_name -of csv=p=0"), "cinepak\n");
        return;
    }
    // Wine's compressors take the stream but cannot set its format: writing something else would be a lie.
    robot.ExpectButton(IDOK);
    EXPECT_FALSE(SaveDocumentAs(strDest.c_str()));
    ExpectFailedSave(strDest, strOld, strTempDir);
}

TEST_F(SaveTest, SaveAsksForANameOnlyWhenItMust)
{
    std::string strPath = OpenPattern(64, 48, 4), strOriginal = AddFile("original.avi");
    CopyFileA(strPath.c_str(), strOriginal.c_str(), FALSE);
    Drag(TOOL_FILLRECT, RGB(200, 0, 0), 1, {{10, 10}, {50, 40}});
    Command(IDM_FILE_SAVE); // over the opened file; the document goes on reading its working copy
    EXPECT_EQ(FramesWithFigure(strOriginal, strPath), std::vector<bool>(4, true));
    Command(IDM_NEXT_FRAME);
    EXPECT_EQ(lCurFrame, 1);
    DeleteFileA(strPath.c_str()); // a file deleted meanwhile is written again
    Command(IDM_FILE_SAVE);
    EXPECT_TRUE(ReadStreamFacts(strPath, streamtypeVIDEO).fPresent);
    EXPECT_TRUE(robot.Seen().empty());
    // A read-only file asks for a name, and so does a document without one, with the untitled name.
    std::vector<std::wstring> names;
    auto cancelNaming = [&names](HWND hdlg) {
        names.push_back(GetWindowTextWide(GetDlgItem(hdlg, 0x47C)));
        DialogRobot::PressButton(hdlg, IDCANCEL);
    };
    SetFileAttributesA(strPath.c_str(), FILE_ATTRIBUTE_READONLY);
    robot.Expect(cancelNaming);
    Command(IDM_FILE_SAVE);
    SetFileAttributesA(strPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    szFileName[0] = '\0';
    robot.Expect(cancelNaming);
    Command(IDM_FILE_SAVE);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[1], L"無題");
    // Yes at the question on closing saves, then closes.
    lstrcpyA(szFileName, strPath.c_str());
    Drag(TOOL_FILLELLIPSE, RGB(0, 150, 0), 1, {{5, 5}, {60, 40}});
    Pixels figure = ReadFigure();
    robot.ExpectButton(IDYES);
    CloseProgram();
    EXPECT_EQ(nExitCode, 0);
    EXPECT_EQ(FramesWithFigure(strOriginal, strPath, figure), std::vector<bool>(4, true));
}

TEST_F(SaveTest, FailedSaveKeepsTheDestinationAndTheMark)
{
    std::string strSmall = OpenPattern(64, 48, 3, true);
    Drag(TOOL_FILLRECT, RGB(200, 0, 0), 1, {{10, 10}, {50, 40}});
    std::string strDest = strTempDir + "no such folder\\out.avi";
    robot.ExpectButton(IDOK);
    EXPECT_FALSE(SaveDocumentAs(strDest.c_str()));
    ExpectFailedSave(strDest, "", strTempDir);

    robot.ExpectButton(IDNO); // each next file drops the change
    OpenFile(MakeMedia("mjpeg.avi", "-f lavfi -i testsrc=size=64x48:rate=10 -frames:v 3 -c:v mjpeg"));
    Drag(TOOL_FILLRECT, RGB(200, 0, 0), 1, {{10, 10}, {50, 40}});
    strDest = AddFile("kept.avi");
    std::string strOld = MakeOldFile(strDest);
    robot.ExpectButton(IDOK);
    EXPECT_FALSE(SaveDocumentAs(strDest.c_str())) << "a video without a decoder has no frames to write";
    ExpectFailedSave(strDest, strOld, strTempDir);

    SmallDisk disk;
    if (!disk.fMounted)
        GTEST_SKIP() << "no small file system can be mounted here: " << disk.strError;
    robot.ExpectButton(IDNO);
    OpenPattern(320, 240, 10); // 2.3 MB of frames on a disk of 1 MB
    Drag(TOOL_FILLRECT, RGB(200, 0, 0), 1, {{10, 10}, {50, 40}});
    strDest = disk.strFolder + "kept.avi";
    strOld = MakeOldFile(strDest);
    robot.ExpectText(strDest); // over a file the user agreed to replace
    robot.ExpectButton(IDYES);
    robot.ExpectButton(IDOK);
    Command(IDM_FILE_SAVE_AS);
    ExpectFailedSave(strDest, strOld, disk.strFolder);

    std::string strOpened = disk.strFolder + "opened.avi";
    ASSERT_TRUE(CopyFileA(strSmall.c_str(), strOpened.c_str(), FALSE));
    robot.ExpectButton(IDNO);
    OpenFile(strOpened);
    Drag(TOOL_FILLRECT, RGB(200, 0, 0), 1, {{10, 10}, {50, 40}});
    RunHostCommand("cat /dev/zero > " + disk.strMount + "/filler; true");
    strOld = ReadFileBytes(strOpened);
    robot.ExpectButton(IDOK);
    Command(IDM_FILE_SAVE);
    ExpectFailedSave(strOpened, strOld, disk.strFolder);
}

TEST_F(SaveTest, SoundBeforeTheFirstFrameIsNotWritten)
{
    std::string strSource = OpenPattern(64, 48, 10, true);
    // The document's video starts at frame 5, half a second in, while its sound starts at sample 0.
    AVISTREAMINFOA si = {};
    AVIStreamInfoA(pavisVideo, &si, sizeof si);
    si.dwStart = 5;
    ASSERT_EQ(EditStreamSetInfoA(pavisVideo, &si, sizeof si), 0);
    LONG lFirstSample = AVIStreamTimeToSample(pavisAudio, AVIStreamSampleToTime(pavisVideo, 5));
    std::string strSaved = AddFile("saved.avi");
    ASSERT_TRUE(SaveDocumentAs(strSaved.c_str()));
    StreamFacts source = ReadStreamFacts(strSource, streamtypeAUDIO), saved = ReadStreamFacts(strSaved, streamtypeAUDIO);
    EXPECT_EQ(saved.lLength, source.lLength - lFirstSample);
    ASSERT_GE(source.data.size(), saved.data.size());
    EXPECT_TRUE(std::equal(saved.data.begin(), saved.data.end(), source.data.end() - saved.data.size()));
    EXPECT_EQ(DecodeWithFfmpeg(strSaved, 64, 48).size(), 10u);
}
