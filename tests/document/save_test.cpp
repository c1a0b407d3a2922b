// Saving the annotated file, checked by an independent reader: ffmpeg decodes what the program wrote.
#include "app/app_state.h"
#include "app/title.h"
#include "canvas/view_window.h"
#include "document/document_state.h"
#include "document/save_commands.h"
#include "resources/resource.h"
#include "support/avi_reader.h"
#include "support/document_test.h"
#include "support/avi_maker.h"
#include "support/host_tools.h"
#include "document/file_commands.h"

#include <algorithm>

#include <fstream>
#include <sstream>

namespace {

std::string ReadWholeFile(const std::string &strPath)
{
    std::ifstream file(strPath, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

class SaveTest : public DocumentTest {
protected:
    // The frames of a file as ffmpeg decodes them: 24-bit BGR rows from the top, one string per frame.
    std::vector<std::string> DecodeWithFfmpeg(const std::string &strPath, int cx, int cy)
    {
        std::string strRaw = AddMedia("decoded.raw");
        std::string strOutput;
        EXPECT_TRUE(RunHostCommand("ffmpeg -hide_banner -loglevel error -nostdin -y -i '" + ToHostPath(strPath) +
                                       "' -map 0:v -f rawvideo -pix_fmt bgr24 '" + ToHostPath(strRaw) + "'",
                                   &strOutput))
            << strOutput;
        std::string strBytes = ReadWholeFile(strRaw);
        DeleteFileA(strRaw.c_str());
        std::vector<std::string> frames;
        size_t cbFrame = (size_t)cx * cy * 3;
        for (size_t nAt = 0; nAt + cbFrame <= strBytes.size(); nAt += cbFrame)
            frames.push_back(strBytes.substr(nAt, cbFrame));
        return frames;
    }

    // The sound of a file as ffmpeg reads it, in its own sample format.
    std::string ReadSoundWithFfmpeg(const std::string &strPath)
    {
        std::string strRaw = AddMedia("sound.raw");
        EXPECT_TRUE(RunHostCommand("ffmpeg -hide_banner -loglevel error -nostdin -y -i '" + ToHostPath(strPath) +
                                   "' -map 0:a -c:a copy -f data '" + ToHostPath(strRaw) + "'"));
        std::string strBytes = ReadWholeFile(strRaw);
        DeleteFileA(strRaw.c_str());
        return strBytes;
    }

    // A file of our own with the given content, to see whether a save left it alone.
    std::string MakeOldFile(const std::string &strPath)
    {
        media.push_back(strPath);
        std::ofstream(strPath, std::ios::binary) << "the old destination";
        return ReadWholeFile(strPath);
    }

    // Files of the save's own (~CT...) in a folder.
    static size_t CountSaveLeftovers(const std::string &strFolder)
    {
        size_t c = 0;
        for (const std::string &strName : ListFolder(strFolder))
            c += strName.compare(0, 3, "~CT") == 0;
        return c;
    }

    void ExpectFailedSave(const std::string &strDest, size_t cMessages)
    {
        ASSERT_EQ(robot.Seen().size(), cMessages);
        EXPECT_NE(robot.Seen().back().strText.find(strDest), std::string::npos) << robot.Seen().back().strText;
        EXPECT_EQ(fModified, 1);
        std::wstring wstrTitle = GetWindowTextWide(hwndMain);
        EXPECT_NE(wstrTitle.find(L" * - Pelto"), std::wstring::npos) << "the title lost its mark";
    }

    void ExpectMessage() { robot.Expect([](HWND hdlg) { DialogRobot::PressButton(hdlg, IDOK); }); }

    std::string Probe(const std::string &strPath, const std::string &strArguments)
    {
        std::string strOutput;
        RunHostCommand("ffprobe -v error " + strArguments + " '" + ToHostPath(strPath) + "'", &strOutput);
        return strOutput;
    }

    // A video with sound, stored bottom-up so that every reader here sees the same pixels.
    std::string MakeVideo(const char *pszName, int cx, int cy, int cFrames, bool fSound)
    {
        std::string strArguments = "-f lavfi -i testsrc=size=" + std::to_string(cx) + "x" + std::to_string(cy) +
                                   ":rate=10 ";
        if (fSound)
            strArguments += "-f lavfi -i sine=frequency=300:sample_rate=22050:duration=5 -c:a pcm_s16le ";
        strArguments += "-frames:v " + std::to_string(cFrames) +
                        " -vf vflip -flipped_raw_rgb 1 -c:v rawvideo -pix_fmt bgr24 -shortest";
        return MakeMedia(pszName, strArguments);
    }

    void Open(const std::string &strPath)
    {
        ASSERT_TRUE(OpenFilePath(strPath.c_str()));
        ASSERT_NE(pavisVideo, (PAVISTREAM)NULL);
    }

    void Drag(int nDragTool, COLORREF cr, POINT ptFrom, POINT ptTo)
    {
        nTool = nDragTool;
        crColor = cr;
        ReplaceDrawingObjects(TRUE);
        SendMessageA(hwndView, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ptFrom.x, ptFrom.y));
        SendMessageA(hwndView, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM((ptFrom.x + ptTo.x) / 2, ptTo.y));
        SendMessageA(hwndView, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(ptTo.x, ptTo.y));
        SendMessageA(hwndView, WM_LBUTTONUP, 0, MAKELPARAM(ptTo.x, ptTo.y));
    }

    // The figure as 24-bit BGR rows from the top.
    std::string ReadFigure()
    {
        BITMAPINFO bmi = {};
        bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), cxCanvas, -cyCanvas, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        void *pvBits = NULL;
        HBITMAP hbm = CreateDIBSection(NULL, &bmi, DIB_RGB_COLORS, &pvBits, NULL, 0);
        HDC hdc = CreateCompatibleDC(NULL);
        HGDIOBJ hbmOld = SelectObject(hdc, hbm);
        BitBlt(hdc, 0, 0, cxCanvas, cyCanvas, hdcFigure, 0, 0, SRCCOPY);
        GdiFlush();
        std::string strPixels;
        LONG cbRow = (cxCanvas * 3 + 3) & ~3;
        for (LONG y = 0; y < cyCanvas; y++)
            strPixels.append((const char *)pvBits + y * cbRow, cxCanvas * 3);
        SelectObject(hdc, hbmOld);
        DeleteDC(hdc);
        DeleteObject(hbm);
        return strPixels;
    }

    // A source frame with the figure laid over it: the figure wherever it is not white.
    static std::string Compose(const std::string &strFrame, const std::string &strFigure)
    {
        std::string strResult = strFrame;
        for (size_t i = 0; i + 2 < strFigure.size(); i += 3)
            if (strFigure.compare(i, 3, "\xFF\xFF\xFF") != 0)
                strResult.replace(i, 3, strFigure, i, 3);
        return strResult;
    }

    // Which of the saved frames carry the figure: each must be the source frame, or it with the figure.
    std::vector<bool> FramesWithFigure(const std::string &strSource, const std::string &strSaved, int cx, int cy)
    {
        std::string strFigure = ReadFigure();
        std::vector<std::string> source = DecodeWithFfmpeg(strSource, cx, cy);
        std::vector<std::string> saved = DecodeWithFfmpeg(strSaved, cx, cy);
        EXPECT_EQ(saved.size(), source.size());
        std::vector<bool> carried;
        for (size_t f = 0; f < std::min(saved.size(), source.size()); f++) {
            bool fPlain = saved[f] == source[f], fComposed = saved[f] == Compose(source[f], strFigure);
            EXPECT_TRUE(fPlain || fComposed) << "frame " << f << " is neither the source nor the composition";
            carried.push_back(fComposed && !fPlain);
        }
        return carried;
    }
};

} // namespace

TEST_F(SaveTest, SavedFileCarriesTheFigureInItsRangeAndTheSoundUnchanged)
{
    std::string strSource = MakeVideo("source.avi", 320, 240, 10, true);
    Open(strSource);
    Drag(TOOL_FILLRECT, RGB(200, 30, 30), {20, 20}, {120, 90});
    Drag(TOOL_ELLIPSE, RGB(0xFE, 0xFE, 0xFE), {100, 60}, {220, 180});
    Drag(TOOL_PEN, RGB(0, 0, 255), {10, 200}, {300, 230});
    robot.Expect([](HWND hdlg) {
        DialogRobot::SetItemText(hdlg, 1000, "Pelto");
        DialogRobot::PressButton(hdlg, IDOK);
    });
    Drag(TOOL_TEXT, RGB(0, 160, 0), {200, 20}, {200, 20});
    ASSERT_EQ(robot.Seen().size(), 1u);
    for (int i = 0; i < 3; i++)
        Command(IDM_NEXT_FRAME);
    Command(IDM_SET_FIGURE_START);
    for (int i = 0; i < 3; i++)
        Command(IDM_NEXT_FRAME);
    Command(IDM_SET_FIGURE_END);
    ASSERT_EQ(nFigureStart, 3);
    ASSERT_EQ(nFigureEnd, 6);
    ASSERT_NE(ReadFigure().find("\xFE\xFE\xFE"), std::string::npos);

    std::string strSaved = AddMedia("saved.avi");
    robot.Expect([strSaved](HWND hdlg) {
        DialogRobot::SetItemText(hdlg, 0x47C, strSaved.c_str());
        DialogRobot::PressButton(hdlg, IDOK);
    });
    Command(IDM_FILE_SAVE_AS);
    ASSERT_EQ(robot.Seen().size(), 2u);
    EXPECT_EQ(std::string(szFileName), strSaved);
    EXPECT_EQ(fModified, 0);
    EXPECT_EQ(GetWindowTextWide(hwndMain), WidenAnsi(strSaved) + L" - Pelto");

    std::vector<bool> carried = FramesWithFigure(strSource, strSaved, 320, 240);
    EXPECT_EQ(carried, (std::vector<bool>{false, false, false, true, true, true, true, false, false, false}));
    std::string strSavedSound = ReadSoundWithFfmpeg(strSaved), strSourceSound = ReadSoundWithFfmpeg(strSource);
    EXPECT_GT(strSourceSound.size(), 0u);
    EXPECT_TRUE(strSavedSound == strSourceSound) << strSavedSound.size() << " bytes against " << strSourceSound.size();
    LONG cSource = 0, cSaved = 0;
    EXPECT_TRUE(ReadAudioBytes(strSaved, &cSaved) == ReadAudioBytes(strSource, &cSource));
    EXPECT_EQ(cSaved, cSource);

    std::string strFlags = Probe(strSaved, "-select_streams v -show_entries packet=flags -of csv=p=0");
    EXPECT_EQ(std::count(strFlags.begin(), strFlags.end(), 'K'), 10) << strFlags;
    EXPECT_EQ(Probe(strSaved, "-show_entries stream=index,codec_type -of csv=p=0"), "0,video\n1,audio\n");
    StreamFacts video = ReadStreamFacts(strSaved, streamtypeVIDEO);
    EXPECT_EQ(video.si.fccHandler, mmioFOURCC('D', 'I', 'B', ' '));
    const BITMAPINFOHEADER *pbih = (const BITMAPINFOHEADER *)video.format.data();
    EXPECT_EQ(pbih->biBitCount, 24);
    EXPECT_EQ(pbih->biCompression, (DWORD)BI_RGB);
    EXPECT_GT(pbih->biHeight, 0) << "rows not stored bottom-up";
    EXPECT_TRUE(ReadStreamFacts(strSaved, streamtypeAUDIO).format == ReadStreamFacts(strSource, streamtypeAUDIO).format)
        << "the sound is not in its own format";
}

TEST_F(SaveTest, FigureRangeDecidesWhichFramesCarryIt)
{
    std::string strSource = MakeVideo("source.avi", 64, 48, 6, false);
    Open(strSource);
    Drag(TOOL_FILLRECT, RGB(10, 200, 10), {8, 8}, {40, 30});
    struct Case {
        LONG nStart, nEnd;
        std::vector<bool> carried;
    } aCases[] = {
        {-1, -1, {true, true, true, true, true, true}},
        {2, -1, {false, false, true, true, true, true}},
        {-1, 3, {true, true, true, true, false, false}},
        {4, 1, {false, false, false, false, false, false}},
        {3, 100, {false, false, false, true, true, true}},
    };
    for (const Case &c : aCases) {
        SCOPED_TRACE(testing::Message() << "range " << c.nStart << ".." << c.nEnd);
        nFigureStart = c.nStart;
        nFigureEnd = c.nEnd;
        std::string strSaved = AddMedia("range.avi");
        ASSERT_TRUE(SaveDocumentAs(strSaved.c_str()));
        EXPECT_EQ(FramesWithFigure(strSource, strSaved, 64, 48), c.carried);
        EXPECT_EQ(CountStreams(strSaved), 1) << "a video without sound gives one stream";
    }
}

TEST_F(SaveTest, FrameChunksHoldTheBufferSize)
{
    struct Case {
        int cx, cy;
        LONG cbChunk;
    } aCases[] = {{321, 241, 233772}, {320, 240, 230400}};
    for (const Case &c : aCases) {
        SCOPED_TRACE(testing::Message() << c.cx << "x" << c.cy);
        std::string strSource = MakeVideo(c.cx == 321 ? "odd.avi" : "even.avi", c.cx, c.cy, 3, false);
        Open(strSource);
        std::string strSaved = AddMedia("sized.avi");
        ASSERT_TRUE(SaveDocumentAs(strSaved.c_str()));
        PAVISTREAM pavis = NULL;
        ASSERT_EQ(AVIStreamOpenFromFileA(&pavis, strSaved.c_str(), streamtypeVIDEO, 0, OF_READ, NULL), 0);
        for (LONG f = 0; f < 3; f++) {
            LONG cb = 0;
            AVIStreamRead(pavis, f, 1, NULL, 0, &cb, NULL);
            EXPECT_EQ(cb, c.cbChunk) << "frame " << f;
        }
        AVIStreamRelease(pavis);
        // An all-white figure, as after opening: every saved frame is the decoded frame.
        EXPECT_EQ(FramesWithFigure(strSource, strSaved, c.cx, c.cy), std::vector<bool>(3, false));
    }
}

TEST_F(SaveTest, ChosenCompressorIsUsedOrTheSaveFails)
{
    // Asks the platform whether Cinepak can compress the 24-bit frames a save writes.
    std::string strProbe = AddMedia("probe.avi");
    ASSERT_TRUE(MakeAviFile(strProbe, AviSpec{64, 48, 2, 10}));
    PAVISTREAM pavisProbe = OpenVideoStream(strProbe), pavisCompressed = NULL;
    AVICOMPRESSOPTIONS options = {streamtypeVIDEO, mmioFOURCC('c', 'v', 'i', 'd'), 0, 7500, 0, 0, NULL, 0, NULL, 0, 0};
    LONG cbFormat = 0, cbFrame = 0;
    bool fCinepakWorks = AVIMakeCompressedStream(&pavisCompressed, pavisProbe, &options, NULL) == 0 &&
                         SUCCEEDED(AVIStreamReadFormat(pavisCompressed, 0, NULL, &cbFormat)) && cbFormat > 0 &&
                         AVIStreamRead(pavisCompressed, 0, 1, NULL, 0, &cbFrame, NULL) == 0 && cbFrame > 0;
    if (pavisCompressed)
        AVIStreamRelease(pavisCompressed);
    AVIStreamRelease(pavisProbe);

    std::string strSource = MakeVideo("source.avi", 64, 48, 4, true);
    Open(strSource);
    Drag(TOOL_FILLRECT, RGB(0, 0, 200), {4, 4}, {30, 30});
    // Compression options, then the compressor dialog with Cinepak chosen.
    robot.Expect([](HWND hdlg) { DialogRobot::PressButton(hdlg, 275); });
    robot.Expect([](HWND hdlg) {
        HWND hwndCombo = GetDlgItem(hdlg, 880);
        int c = (int)SendMessageA(hwndCombo, CB_GETCOUNT, 0, 0);
        for (int i = 0; i < c; i++) {
            char sz[128] = "";
            SendMessageA(hwndCombo, CB_GETLBTEXT, i, (LPARAM)sz);
            if (strstr(sz, "Cinepak")) {
                SendMessageA(hwndCombo, CB_SETCURSEL, i, 0);
                SendMessageA(hdlg, WM_COMMAND, MAKEWPARAM(880, CBN_SELCHANGE), (LPARAM)hwndCombo);
            }
        }
        DialogRobot::PressButton(hdlg, IDOK);
        DialogRobot::PressButton(GetWindow(hdlg, GW_OWNER), IDOK);
    });
    Command(IDM_COMPRESS_OPTIONS);
    ASSERT_EQ(aCompressOptions[SLOT_VIDEO].fccHandler, mmioFOURCC('c', 'v', 'i', 'd'));

    std::string strDest = strTempDir + "cinepak.avi";
    std::string strOld = MakeOldFile(strDest);
    if (fCinepakWorks) {
        ASSERT_TRUE(SaveDocumentAs(strDest.c_str()));
        EXPECT_EQ(Probe(strDest, "-select_streams v -show_entries stream=codec_name -of csv=p=0"), "cinepak\n");
        EXPECT_EQ(DecodeWithFfmpeg(strDest, 64, 48).size(), 4u);
    } else {
        ExpectMessage();
        EXPECT_FALSE(SaveDocumentAs(strDest.c_str()));
        ExpectFailedSave(strDest, 3);
        EXPECT_TRUE(ReadWholeFile(strDest) == strOld) << "the failed save touched the destination";
        EXPECT_EQ(CountSaveLeftovers(strTempDir), 1u) << "only the working copy may remain";
    }
}

TEST_F(SaveTest, SaveFlowAsksOnlyWhenItMust)
{
    std::string strPath = MakeVideo("clip.avi", 64, 48, 4, false);
    std::string strOriginal = AddMedia("original.avi");
    CopyFileA(strPath.c_str(), strOriginal.c_str(), FALSE);
    Open(strPath);
    Drag(TOOL_FILLRECT, RGB(200, 0, 0), {10, 10}, {50, 40});

    // Save of the opened file replaces it; the document goes on reading its working copy.
    Command(IDM_FILE_SAVE);
    EXPECT_TRUE(robot.Seen().empty());
    EXPECT_EQ(FramesWithFigure(strOriginal, strPath, 64, 48), std::vector<bool>(4, true));
    EXPECT_EQ(GetFileAttributesA(szTempFile) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    Command(IDM_NEXT_FRAME);
    EXPECT_EQ(lCurFrame, 1);

    // A file deleted meanwhile is written again without asking.
    DeleteFileA(strPath.c_str());
    Command(IDM_FILE_SAVE);
    EXPECT_TRUE(robot.Seen().empty());
    EXPECT_EQ(CountStreams(strPath), 1);

    // A read-only file asks for a name; so does a document without one, with the untitled name.
    std::vector<std::string> names;
    auto cancelNaming = [&names](HWND hdlg) {
        char sz[MAX_PATH] = "";
        GetDlgItemTextA(hdlg, 0x47C, sz, sizeof sz);
        names.push_back(sz);
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
    EXPECT_EQ(WidenAnsi(names[1]), L"無題");
    EXPECT_EQ(robot.Seen().size(), 2u) << "a cancelled save showed a message";
}

TEST_F(SaveTest, PromptYesSavesAndThenCloses)
{
    std::string strPath = MakeVideo("clip.avi", 64, 48, 3, false);
    std::string strOriginal = AddMedia("original.avi");
    CopyFileA(strPath.c_str(), strOriginal.c_str(), FALSE);
    Open(strPath);
    Drag(TOOL_FILLELLIPSE, RGB(0, 150, 0), {5, 5}, {40, 40});
    std::string strFigure = ReadFigure();
    robot.Expect([](HWND hdlg) { DialogRobot::PressButton(hdlg, IDYES); });
    CloseProgram();
    EXPECT_EQ(nExitCode, 0);
    ASSERT_EQ(robot.Seen().size(), 1u);
    std::vector<std::string> source = DecodeWithFfmpeg(strOriginal, 64, 48);
    std::vector<std::string> saved = DecodeWithFfmpeg(strPath, 64, 48);
    ASSERT_EQ(saved.size(), 3u);
    for (size_t f = 0; f < saved.size(); f++)
        EXPECT_TRUE(saved[f] == Compose(source[f], strFigure)) << "frame " << f;
}

TEST_F(SaveTest, UnwritableDestinationKeepsEverything)
{
    std::string strSource = MakeVideo("clip.avi", 64, 48, 3, false);
    Open(strSource);
    Drag(TOOL_FILLRECT, RGB(200, 0, 0), {10, 10}, {50, 40});
    std::string strDest = strTempDir + "no such folder\\out.avi";
    ExpectMessage();
    EXPECT_FALSE(SaveDocumentAs(strDest.c_str()));
    ExpectFailedSave(strDest, 1);
    EXPECT_EQ(CountSaveLeftovers(strTempDir), 1u);
}

// A small file system of the host, mounted for one test and gone after it.
class SmallDisk {
public:
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
    // Fills what is left of it.
    void Fill() { RunHostCommand("cat /dev/zero > " + strMount + "/filler; true"); }

    bool fMounted = false;
    std::string strMount, strFolder, strError;
};

TEST_F(SaveTest, FullDiskLeavesTheDestinationByteForByte)
{
    SmallDisk disk;
    if (!disk.fMounted)
        GTEST_SKIP() << "no small file system can be mounted here: " << disk.strError;
    std::string strSource = MakeVideo("clip.avi", 320, 240, 10, true);
    Open(strSource);
    Drag(TOOL_FILLRECT, RGB(200, 0, 0), {10, 10}, {50, 40});

    // Saved as a new name, and over a file the user agreed to replace in the dialog.
    std::string strDest = disk.strFolder + "kept.avi";
    std::string strOld = MakeOldFile(strDest);
    ExpectMessage();
    EXPECT_FALSE(SaveDocumentAs(strDest.c_str()));
    ExpectFailedSave(strDest, 1);
    robot.Expect([strDest](HWND hdlg) {
        DialogRobot::SetItemText(hdlg, 0x47C, strDest.c_str());
        DialogRobot::PressButton(hdlg, IDOK);
    });
    robot.Expect([](HWND hdlg) { DialogRobot::PressButton(hdlg, IDYES); });
    ExpectMessage();
    Command(IDM_FILE_SAVE_AS);
    ExpectFailedSave(strDest, 4);
    EXPECT_TRUE(ReadWholeFile(strDest) == strOld) << "the failed save touched the destination";
    EXPECT_EQ(CountSaveLeftovers(disk.strFolder), 0u);
    EXPECT_EQ(CountSaveLeftovers(strTempDir), 1u);
    DeleteFileA(strDest.c_str());
}

TEST_F(SaveTest, FullDiskLeavesTheOpenedFileByteForByte)
{
    SmallDisk disk;
    if (!disk.fMounted)
        GTEST_SKIP() << "no small file system can be mounted here: " << disk.strError;
    std::string strSource = MakeVideo("clip.avi", 64, 48, 10, false);
    std::string strOpened = disk.strFolder + "opened.avi";
    ASSERT_TRUE(CopyFileA(strSource.c_str(), strOpened.c_str(), FALSE));
    media.push_back(strOpened);
    std::string strOld = ReadWholeFile(strOpened);
    Open(strOpened);
    Drag(TOOL_FILLRECT, RGB(200, 0, 0), {10, 10}, {50, 40});
    disk.Fill();
    ExpectMessage();
    Command(IDM_FILE_SAVE);
    ExpectFailedSave(strOpened, 1);
    EXPECT_TRUE(ReadWholeFile(strOpened) == strOld) << "the failed save touched the opened file";
    EXPECT_EQ(CountSaveLeftovers(disk.strFolder), 0u);
}

TEST_F(SaveTest, NothingIsWrittenWithoutFramesToWrite)
{
    struct Case {
        const char *pszName;
        const char *pszCodec;
        LONG cxCanvasForced; // 0: as opened
    } aCases[] = {
        {"mjpeg.avi", "mjpeg", 0},           // no decoder: no frame could be written
        {"huge.avi", "rawvideo -pix_fmt bgr24", 40000}, // a frame too large for one chunk
    };
    size_t cMessages = 0;
    for (const Case &c : aCases) {
        SCOPED_TRACE(c.pszName);
        std::string strSource = MakeMedia(c.pszName, std::string("-f lavfi -i testsrc=size=64x48:rate=10 -frames:v 3 ") +
                                                         "-c:v " + c.pszCodec);
        fModified = 0;
        Open(strSource);
        fModified = 1;
        UpdateTitle();
        std::string strDest = strTempDir + "kept.avi";
        std::string strOld = MakeOldFile(strDest);
        LONG cxKept = cxCanvas, cyKept = cyCanvas;
        if (c.cxCanvasForced)
            cxCanvas = cyCanvas = c.cxCanvasForced;
        ExpectMessage();
        EXPECT_FALSE(SaveDocumentAs(strDest.c_str()));
        cxCanvas = cxKept;
        cyCanvas = cyKept;
        ExpectFailedSave(strDest, ++cMessages);
        EXPECT_TRUE(ReadWholeFile(strDest) == strOld);
        EXPECT_EQ(CountSaveLeftovers(strTempDir), 1u);
    }
}

TEST_F(SaveTest, SoundBeforeTheFirstFrameIsNotWritten)
{
    std::string strSource = MakeVideo("late.avi", 64, 48, 10, true);
    Open(strSource);
    // The document's video starts at frame 5, half a second in, while its sound starts at sample 0.
    AVISTREAMINFOA si = {};
    AVIStreamInfoA(pavisVideo, &si, sizeof si);
    si.dwStart = 5;
    ASSERT_EQ(EditStreamSetInfoA(pavisVideo, &si, sizeof si), 0);
    ASSERT_EQ(AVIStreamStart(pavisVideo), 5);
    LONG lFirstSample = AVIStreamTimeToSample(pavisAudio, AVIStreamSampleToTime(pavisVideo, 5));
    ASSERT_GT(lFirstSample, 0);

    std::string strSaved = AddMedia("saved.avi");
    ASSERT_TRUE(SaveDocumentAs(strSaved.c_str()));
    LONG cSource = 0, cSaved = 0;
    std::vector<BYTE> source = ReadAudioBytes(strSource, &cSource), saved = ReadAudioBytes(strSaved, &cSaved);
    EXPECT_EQ(cSaved, cSource - lFirstSample);
    ASSERT_GE(source.size(), saved.size());
    EXPECT_TRUE(std::equal(saved.begin(), saved.end(), source.end() - saved.size()))
        << "the saved sound is not the source's from the first frame on";
    EXPECT_EQ(DecodeWithFfmpeg(strSaved, 64, 48).size(), 10u);
}
