// RepairAviHeaders on files made by the platform's own AVI writer: afterwards the library reads every audio sample
// back and the main header holds the video's microseconds per frame; a right file is left alone, and a damaged one is
// never changed outside the two header values.
#include "document/avi_header_fix.h"

#include <windows.h>
#include <vfw.h>
#include <mmreg.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct AudioCase {
    const char *pszName;
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    WORD nBlockAlign;
    LONG cSamplesPerWrite;    // samples (blocks, for ADPCM) handed to each AVIStreamWrite
    LONG cWrites;             // audio writes, one after each of the first video frames
    DWORD dwRate, dwScale;    // video frame rate
    DWORD dwMicroSecPerFrame; // what the main header must hold
    bool fRecords;            // written in records: 'rec ' lists and an interleaved index
};

// Test names show the case's name, not its bytes.
void PrintTo(const AudioCase &c, std::ostream *pos)
{
    *pos << c.pszName;
}

const LONG cVideoFrames = 10;

std::vector<BYTE> ReadBytes(const std::string &strPath)
{
    std::vector<BYTE> bytes;
    HANDLE hFile = CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(GetFileSize(hFile, NULL));
    DWORD cbRead = 0;
    if (!bytes.empty() &&
        (!ReadFile(hFile, bytes.data(), (DWORD)bytes.size(), &cbRead, NULL) || cbRead != bytes.size()))
        bytes.clear();
    CloseHandle(hFile);
    return bytes;
}

bool WriteBytes(const std::string &strPath, const std::vector<BYTE> &bytes)
{
    HANDLE hFile = CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    DWORD cbWritten = 0;
    bool fOk = bytes.empty() ||
               (WriteFile(hFile, bytes.data(), (DWORD)bytes.size(), &cbWritten, NULL) && cbWritten == bytes.size());
    CloseHandle(hFile);
    return fOk;
}

DWORD DwordAt(const std::vector<BYTE> &bytes, size_t off)
{
    DWORD dw = 0;
    if (off + 4 <= bytes.size())
        memcpy(&dw, &bytes[off], 4);
    return dw;
}

void SetDwordAt(std::vector<BYTE> &bytes, size_t off, DWORD dw)
{
    if (off + 4 <= bytes.size())
        memcpy(&bytes[off], &dw, 4);
}

// The bytes of a literal, zeros included, without its terminating zero.
template <size_t N> std::vector<BYTE> Bytes(const char (&sz)[N])
{
    return std::vector<BYTE>(sz, sz + N - 1);
}

size_t Find(const std::vector<BYTE> &bytes, const char *pszText, size_t offFrom = 0)
{
    auto it =
        std::search(bytes.begin() + std::min(offFrom, bytes.size()), bytes.end(), pszText, pszText + strlen(pszText));
    return it == bytes.end() ? std::string::npos : (size_t)(it - bytes.begin());
}

// Where a file of the platform's writer keeps things, found by plain search: the writer puts 'avih' first in 'hdrl'
// and one 'strh' of 56 bytes in each stream list.
struct Landmarks {
    size_t offMicroSecPerFrame = 32; // first DWORD of 'avih', after "RIFF" size "AVI " "LIST" size "hdrl" "avih" size
    size_t offAudioLength = 0;       // dwLength of the audio 'strh'
    size_t offHeaderEnd = 0;         // end of the 'hdrl' list
    size_t offMovi = 0;              // the 'movi' list's "LIST"
    size_t offIndex = 0;             // the "idx1" chunk
    size_t offFirstAudioChunk = 0;   // the first "01wb" in 'movi'
    size_t offFirstAudioEntry = 0;   // the first "01wb" in 'idx1'
};

Landmarks FindLandmarks(const std::vector<BYTE> &bytes)
{
    Landmarks lm;
    size_t off = Find(bytes, "strh");
    while (off != std::string::npos && Find(bytes, "auds", off + 8) != off + 8)
        off = Find(bytes, "strh", off + 4);
    lm.offAudioLength = off == std::string::npos ? 0 : off + 8 + 32;
    lm.offHeaderEnd = 20 + DwordAt(bytes, 16);
    lm.offMovi = Find(bytes, "movi") - 8;
    lm.offIndex = Find(bytes, "idx1", lm.offMovi);
    lm.offFirstAudioChunk = Find(bytes, "01wb", lm.offMovi);
    lm.offFirstAudioEntry = Find(bytes, "01wb", lm.offIndex);
    return lm;
}

// Every byte is as before, except maybe the two header values.
void ExpectOnlyHeaderValuesChanged(const std::vector<BYTE> &before, const std::vector<BYTE> &after, const Landmarks &lm)
{
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); i++) {
        bool fHeaderValue = (i >= lm.offMicroSecPerFrame && i < lm.offMicroSecPerFrame + 4) ||
                            (i >= lm.offAudioLength && i < lm.offAudioLength + 4);
        if (!fHeaderValue && before[i] != after[i]) {
            ADD_FAILURE() << "byte " << i << " changed";
            return;
        }
    }
}

LONG AudioLengthOf(const std::string &strPath)
{
    PAVISTREAM pavis = NULL;
    if (AVIStreamOpenFromFileA(&pavis, strPath.c_str(), streamtypeAUDIO, 0, OF_READ, NULL) != 0)
        return -1;
    LONG lLength = AVIStreamLength(pavis);
    AVIStreamRelease(pavis);
    return lLength;
}

// All samples of the audio stream, as the library reads them in one call.
std::vector<BYTE> ReadAllAudio(const std::string &strPath, LONG cbSample)
{
    std::vector<BYTE> data;
    PAVISTREAM pavis = NULL;
    if (AVIStreamOpenFromFileA(&pavis, strPath.c_str(), streamtypeAUDIO, 0, OF_READ, NULL) != 0)
        return data;
    data.resize((size_t)AVIStreamLength(pavis) * cbSample);
    LONG cbRead = 0, cRead = 0;
    if (AVIStreamRead(pavis, AVIStreamStart(pavis), AVIStreamLength(pavis), data.data(), (LONG)data.size(), &cbRead,
                      &cRead) != 0)
        cbRead = 0;
    data.resize(cbRead);
    AVIStreamRelease(pavis);
    return data;
}

// Writes 32x24 video frames and audio through the platform's writer, each audio write at the stream's current end;
// the audio bytes written go to *pAudio.
bool MakeAviWithAudio(const std::string &strPath, const AudioCase &c, std::vector<BYTE> *pAudio)
{
    DeleteFileA(strPath.c_str());
    PAVIFILE pfile = NULL;
    if (AVIFileOpenA(&pfile, strPath.c_str(), OF_CREATE | OF_WRITE, NULL) != 0)
        return false;

    AVISTREAMINFOA siVideo = {};
    siVideo.fccType = streamtypeVIDEO;
    siVideo.fccHandler = mmioFOURCC('D', 'I', 'B', ' ');
    siVideo.dwScale = c.dwScale;
    siVideo.dwRate = c.dwRate;
    SetRect(&siVideo.rcFrame, 0, 0, 32, 24);
    BITMAPINFOHEADER bih = {};
    bih.biSize = sizeof bih;
    bih.biWidth = 32;
    bih.biHeight = 24;
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    bih.biCompression = BI_RGB;
    bih.biSizeImage = 32 * 3 * 24;
    siVideo.dwSuggestedBufferSize = bih.biSizeImage;

    IMAADPCMWAVEFORMAT wf = {};
    wf.wfx.wFormatTag = c.wFormatTag;
    wf.wfx.nChannels = c.nChannels;
    wf.wfx.nSamplesPerSec = c.nSamplesPerSec;
    wf.wfx.nBlockAlign = c.nBlockAlign;
    LONG cbFormat = sizeof(WAVEFORMATEX);
    if (c.wFormatTag == WAVE_FORMAT_IMA_ADPCM) {
        wf.wfx.wBitsPerSample = 4;
        wf.wfx.cbSize = sizeof wf - sizeof wf.wfx;
        wf.wSamplesPerBlock = (WORD)((c.nBlockAlign - 4 * c.nChannels) * 2 / c.nChannels + 1);
        wf.wfx.nAvgBytesPerSec = c.nSamplesPerSec * c.nBlockAlign / wf.wSamplesPerBlock;
        cbFormat = sizeof wf;
    } else {
        wf.wfx.wBitsPerSample = (WORD)(8 * c.nBlockAlign / c.nChannels);
        wf.wfx.nAvgBytesPerSec = c.nSamplesPerSec * c.nBlockAlign;
    }
    AVISTREAMINFOA siAudio = {};
    siAudio.fccType = streamtypeAUDIO;
    siAudio.dwScale = c.nBlockAlign;
    siAudio.dwRate = wf.wfx.nAvgBytesPerSec;
    siAudio.dwSampleSize = c.nBlockAlign;
    siAudio.dwSuggestedBufferSize = c.cSamplesPerWrite * c.nBlockAlign;

    PAVISTREAM pavisVideo = NULL, pavisAudio = NULL;
    bool fOk = AVIFileCreateStreamA(pfile, &pavisVideo, &siVideo) == 0 &&
               AVIStreamSetFormat(pavisVideo, 0, &bih, sizeof bih) == 0 &&
               AVIFileCreateStreamA(pfile, &pavisAudio, &siAudio) == 0 &&
               AVIStreamSetFormat(pavisAudio, 0, &wf, cbFormat) == 0;

    std::vector<BYTE> frame(bih.biSizeImage, 0x80);
    std::vector<BYTE> block(c.cSamplesPerWrite * c.nBlockAlign);
    for (LONG n = 0; fOk && n < cVideoFrames; n++) {
        if (c.fRecords)
            fOk = AVIFileEndRecord(pfile) == 0;
        fOk =
            fOk && AVIStreamWrite(pavisVideo, n, 1, frame.data(), (LONG)frame.size(), AVIIF_KEYFRAME, NULL, NULL) == 0;
        if (fOk && n < c.cWrites) {
            for (size_t i = 0; i < block.size(); i++)
                block[i] = (BYTE)(n * 37 + i * 7 + i / 251);
            LONG lEnd = AVIStreamStart(pavisAudio) + AVIStreamLength(pavisAudio);
            fOk = AVIStreamWrite(pavisAudio, lEnd, c.cSamplesPerWrite, block.data(), (LONG)block.size(), AVIIF_KEYFRAME,
                                 NULL, NULL) == 0;
            pAudio->insert(pAudio->end(), block.begin(), block.end());
        }
    }
    // Wine's writer asserts on saving unless the last record is followed by an empty one.
    if (fOk && c.fRecords)
        fOk = AVIFileEndRecord(pfile) == 0 && AVIFileEndRecord(pfile) == 0;
    if (pavisAudio)
        AVIStreamRelease(pavisAudio);
    if (pavisVideo)
        AVIStreamRelease(pavisVideo);
    AVIFileRelease(pfile);
    return fOk;
}

class AviHeaderFixTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char szBase[MAX_PATH], szName[MAX_PATH];
        GetTempPathA(sizeof szBase, szBase);
        GetTempFileNameA(szBase, "ah", 0, szName);
        DeleteFileA(szName);
        CreateDirectoryA(szName, NULL);
        strFolder = std::string(szName) + "\\";
        strPath = strFolder + "\x95\x5C.avi"; // a Shift-JIS name whose trail byte is '\'
    }
    void TearDown() override
    {
        DeleteFileA(strPath.c_str());
        RemoveDirectoryA(strFolder.c_str());
    }

    std::string strFolder, strPath;
};

const AudioCase aPcmStereo = {"Pcm16Stereo44100", WAVE_FORMAT_PCM, 2, 44100, 4, 4410, 5, 25, 1, 40000, false};

class AviHeaderFixWrittenTest : public AviHeaderFixTest, public ::testing::WithParamInterface<AudioCase> {};

} // namespace

TEST_P(AviHeaderFixWrittenTest, AudioReadsBackWholeAndFrameTimeIsRight)
{
    const AudioCase &c = GetParam();
    std::vector<BYTE> audio;
    ASSERT_TRUE(MakeAviWithAudio(strPath, c, &audio));
    std::vector<BYTE> before = ReadBytes(strPath);
    Landmarks lm = FindLandmarks(before);
    ASSERT_NE(lm.offAudioLength, 0u);
    const LONG cSamples = (LONG)audio.size() / c.nBlockAlign;

    // Before: on Wine the library counts one sample per chunk and the frame time is the rate inverted;
    // on Windows both are already right.
    LONG lBefore = AudioLengthOf(strPath);
    DWORD usBefore = DwordAt(before, lm.offMicroSecPerFrame);
    RecordProperty("AudioLengthBefore", (int)lBefore);
    RecordProperty("MicroSecPerFrameBefore", (int)usBefore);
    EXPECT_TRUE(lBefore == c.cWrites || lBefore == cSamples) << lBefore;
    EXPECT_TRUE(usBefore == (DWORD)MulDiv(c.dwRate, 1000000, c.dwScale) || usBefore == c.dwMicroSecPerFrame)
        << usBefore;

    ASSERT_TRUE(RepairAviHeaders(strPath.c_str()));
    std::vector<BYTE> after = ReadBytes(strPath);
    ExpectOnlyHeaderValuesChanged(before, after, lm);
    EXPECT_EQ(DwordAt(after, lm.offMicroSecPerFrame), c.dwMicroSecPerFrame);

    LONG lAfter = AudioLengthOf(strPath);
    RecordProperty("AudioLengthAfter", (int)lAfter);
    std::vector<BYTE> read = ReadAllAudio(strPath, c.nBlockAlign);
    EXPECT_EQ(read.size(), (size_t)lAfter * c.nBlockAlign);
    EXPECT_TRUE(
        std::equal(read.begin(), read.end(), audio.begin(), audio.begin() + std::min(read.size(), audio.size())))
        << "the samples read back differ from those written";
    if (c.fRecords) {
        // Wine's writer leaves the last audio chunk out of the index of a file written in records, and the library
        // reads by the index: the length must stop at what the index reaches.
        EXPECT_TRUE(lAfter == cSamples || lAfter == cSamples - c.cSamplesPerWrite) << lAfter;
    } else {
        EXPECT_EQ(lAfter, cSamples);
        EXPECT_EQ(read.size(), audio.size());
    }

    // A second repair finds nothing to do.
    ASSERT_TRUE(RepairAviHeaders(strPath.c_str()));
    EXPECT_EQ(ReadBytes(strPath), after);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, AviHeaderFixWrittenTest,
    ::testing::Values(aPcmStereo,
                      // 2,205 bytes a chunk: every audio chunk has an odd size and a pad byte.
                      AudioCase{"Pcm8MonoOddChunks", WAVE_FORMAT_PCM, 1, 22050, 1, 2205, 4, 30000, 1001, 33367, false},
                      AudioCase{"ImaAdpcmStereo", WAVE_FORMAT_IMA_ADPCM, 2, 44100, 1024, 3, 5, 15, 1, 66667, false},
                      AudioCase{"ImaAdpcmMono", WAVE_FORMAT_IMA_ADPCM, 1, 22050, 512, 2, 7, 24, 1, 41667, false},
                      AudioCase{"Pcm16StereoInRecords", WAVE_FORMAT_PCM, 2, 44100, 4, 4410, 4, 25, 1, 40000, true}),
    [](const ::testing::TestParamInfo<AudioCase> &info) { return std::string(info.param.pszName); });

TEST_F(AviHeaderFixTest, RightFilesAreLeftByteForByte)
{
    struct Case {
        const char *pszName;
        std::function<bool(const std::string &)> make;
    } aCases[] = {
        {"patched by hand",
         [](const std::string &strPath) {
             std::vector<BYTE> audio;
             if (!MakeAviWithAudio(strPath, aPcmStereo, &audio))
                 return false;
             std::vector<BYTE> bytes = ReadBytes(strPath);
             Landmarks lm = FindLandmarks(bytes);
             SetDwordAt(bytes, lm.offMicroSecPerFrame, 40000);
             SetDwordAt(bytes, lm.offAudioLength, (DWORD)audio.size() / aPcmStereo.nBlockAlign);
             return lm.offAudioLength != 0 && WriteBytes(strPath, bytes);
         }},
        // At 1 fps the inverted frame time is the right one, and one sample a write makes chunks and samples agree.
        {"one sample per write at 1 fps",
         [](const std::string &strPath) {
             AudioCase c = aPcmStereo;
             c.cSamplesPerWrite = 1;
             c.dwRate = 1;
             c.dwMicroSecPerFrame = 1000000;
             std::vector<BYTE> audio;
             return MakeAviWithAudio(strPath, c, &audio);
         }},
    };
    for (const Case &c : aCases) {
        SCOPED_TRACE(c.pszName);
        ASSERT_TRUE(c.make(strPath));
        std::vector<BYTE> before = ReadBytes(strPath);
        ASSERT_FALSE(before.empty());
        EXPECT_TRUE(RepairAviHeaders(strPath.c_str()));
        EXPECT_EQ(ReadBytes(strPath), before);
    }
}

TEST_F(AviHeaderFixTest, DamagedWrittenFilesChangeOnlyTheHeaderValuesTheyStillProve)
{
    std::vector<BYTE> audio;
    ASSERT_TRUE(MakeAviWithAudio(strPath, aPcmStereo, &audio));
    const std::vector<BYTE> original = ReadBytes(strPath);
    const Landmarks lm = FindLandmarks(original);
    ASSERT_NE(lm.offAudioLength, 0u);
    ASSERT_NE(lm.offIndex, std::string::npos);
    ASSERT_NE(lm.offFirstAudioChunk, std::string::npos);
    ASSERT_NE(lm.offFirstAudioEntry, std::string::npos);
    const DWORD cSamples = (DWORD)audio.size() / aPcmStereo.nBlockAlign;

    using Damage = std::function<void(std::vector<BYTE> &)>;
    auto Cut = [](size_t cb) { return Damage([cb](std::vector<BYTE> &b) { b.resize(std::min(cb, b.size())); }); };
    auto Set = [](size_t off, DWORD dw) { return Damage([off, dw](std::vector<BYTE> &b) { SetDwordAt(b, off, dw); }); };
    // In place of the bytes after the RIFF.
    auto Append = [](std::vector<BYTE> part) {
        return Damage([part](std::vector<BYTE> &b) {
            b.resize(8 + DwordAt(b, 4));
            b.insert(b.end(), part.begin(), part.end());
        });
    };
    const struct Case {
        const char *pszName;
        Damage damage;
        BOOL fResult;
        bool fFrameTimeFixed;
        DWORD cAudioLength; // 0: left as it was
    } aCases[] = {
        {"cut in the RIFF header", Cut(6), FALSE, false, 0},
        {"cut after the form type", Cut(12), TRUE, false, 0},
        {"cut in the main header", Cut(40), TRUE, false, 0},
        {"cut in the audio stream header", Cut(lm.offAudioLength - 12), TRUE, false, 0},
        {"cut at the end of the header list", Cut(lm.offHeaderEnd), TRUE, true, 0},
        {"cut in the movie list", Cut(lm.offMovi + 5000), TRUE, true, 0},
        {"cut in the last movie chunk", Cut(lm.offIndex - 3), TRUE, true, 0},
        {"cut before the index", Cut(lm.offIndex), TRUE, true, cSamples},
        {"cut in the index", Cut(lm.offIndex + 20), TRUE, true, cSamples},
        {"cut in the bytes after the RIFF", Cut(original.size() - 1), TRUE, true, cSamples},
        {"movie chunk larger than its list", Set(lm.offFirstAudioChunk + 4, 0x7FFFFFF0), TRUE, true, 0},
        {"movie chunk id not text", Set(lm.offMovi + 12, 0), TRUE, true, 0},
        {"stream list larger than the header list", Set(lm.offAudioLength - 48, 0x10000), TRUE, false, 0},
        {"header list larger than the RIFF", Set(16, 0xFFFFFF00), TRUE, false, 0},
        {"a second RIFF part follows", Append(Bytes("RIFF\x1C\0\0\0AVIXLIST\x10\0\0\0movi01wb\x04\0\0\0\1\2\3\4")),
         TRUE, true, 0},
        // The library reads by the index: the length goes no further than the index reaches.
        {"index lists less audio than the movie holds",
         Set(lm.offFirstAudioEntry + 12, DwordAt(original, lm.offFirstAudioEntry + 12) - 40), TRUE, true,
         cSamples - 10},
    };
    for (const Case &c : aCases) {
        SCOPED_TRACE(c.pszName);
        std::vector<BYTE> before = original;
        c.damage(before);
        ASSERT_TRUE(WriteBytes(strPath, before));
        EXPECT_EQ(RepairAviHeaders(strPath.c_str()), c.fResult);
        std::vector<BYTE> after = ReadBytes(strPath);
        ExpectOnlyHeaderValuesChanged(before, after, lm);
        if (c.fFrameTimeFixed)
            EXPECT_EQ(DwordAt(after, lm.offMicroSecPerFrame), 40000u);
        else
            EXPECT_EQ(DwordAt(after, lm.offMicroSecPerFrame), DwordAt(before, lm.offMicroSecPerFrame));
        EXPECT_EQ(DwordAt(after, lm.offAudioLength),
                  c.cAudioLength ? c.cAudioLength : DwordAt(before, lm.offAudioLength));
    }
}

TEST_F(AviHeaderFixTest, FilesThatAreNotAviAreRefusedAndGarbageIsLeftAlone)
{
    auto RiffAvi = [](DWORD cbRiff, std::vector<BYTE> body) {
        std::vector<BYTE> b = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '};
        SetDwordAt(b, 4, cbRiff);
        b.insert(b.end(), body.begin(), body.end());
        return b;
    };
    std::vector<BYTE> noise(4096);
    DWORD dwSeed = 12345;
    for (BYTE &b : noise)
        b = (BYTE)((dwSeed = dwSeed * 1103515245 + 12345) >> 16);

    const struct Case {
        const char *pszName;
        std::vector<BYTE> bytes;
        BOOL fResult;
    } aCases[] = {
        {"empty", {}, FALSE},
        {"text", Bytes("This is not a video at all."), FALSE},
        {"RIFF WAVE", Bytes("RIFF\x04\0\0\0WAVE"), FALSE},
        {"RIFF AVIX", Bytes("RIFF\x04\0\0\0AVIX"), FALSE},
        {"RIFF AVI with nothing in it", RiffAvi(4, {}), TRUE},
        {"RIFF AVI of noise", RiffAvi((DWORD)noise.size() + 4, noise), TRUE},
        {"RIFF AVI of noise, size beyond the file", RiffAvi(0xFFFFFFF0, noise), TRUE},
    };
    for (const Case &c : aCases) {
        SCOPED_TRACE(c.pszName);
        ASSERT_TRUE(WriteBytes(strPath, c.bytes));
        EXPECT_EQ(RepairAviHeaders(strPath.c_str()), c.fResult);
        EXPECT_EQ(ReadBytes(strPath), c.bytes);
    }
    EXPECT_FALSE(RepairAviHeaders((strFolder + "missing.avi").c_str()));
}
