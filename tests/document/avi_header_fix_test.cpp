// The header repair on files of the platform's own writer, formats by damage: afterwards the library reads every
// audio sample back and the main header holds the video's frame time; a right file is left alone, and a damaged
// one never changes outside the two header values, and only where its data still proves them.
#include "document/avi_header_fix.h"

#include "support/harness.h"

#include <mmreg.h>

#include <algorithm>
#include <functional>

namespace {

using Bytes = std::string;

DWORD DwordAt(const Bytes &b, size_t off)
{
    DWORD dw = 0;
    if (off + 4 <= b.size())
        memcpy(&dw, &b[off], 4);
    return dw;
}

// Where a file of the platform's writer keeps things, found by plain search: 'avih' comes first in 'hdrl'.
struct Landmarks {
    size_t offFrameTime = 32, offAudioLength, offHeaderEnd, offMovi, offIndex, offAudioChunk, offAudioEntry;
    explicit Landmarks(const Bytes &b)
    {
        size_t off = b.find("strh");
        while (off != Bytes::npos && b.compare(off + 8, 4, "auds") != 0)
            off = b.find("strh", off + 4);
        offAudioLength = off + 8 + 32;
        offHeaderEnd = 20 + DwordAt(b, 16);
        offMovi = b.find("movi") - 8;
        offIndex = b.find("idx1", offMovi);
        offAudioChunk = b.find("01wb", offMovi);
        offAudioEntry = b.find("01wb", offIndex);
    }
};

// Every byte is as before but for the two header values.
bool OnlyHeaderValuesChanged(Bytes before, const Bytes &after, const Landmarks &lm)
{
    for (size_t off : {lm.offFrameTime, lm.offAudioLength})
        if (off + 4 <= before.size() && off + 4 <= after.size())
            before.replace(off, 4, after, off, 4);
    return before == after;
}

struct AudioCase {
    const char *pszName;
    WORD wFormatTag, nChannels;
    DWORD nSamplesPerSec;
    WORD nBlockAlign;
    LONG cBlocksPerWrite, cWrites;
    DWORD dwRate, dwScale, dwFrameTime; // the video's rate, and the frame time the main header must hold
    bool fRecords;
};

const AudioCase aAudioCases[] = {
    {"Pcm16Stereo", WAVE_FORMAT_PCM, 2, 44100, 4, 4410, 5, 25, 1, 40000, false},
    // 2,205 bytes a chunk: every audio chunk has an odd size and a pad byte.
    {"Pcm8MonoOddChunks", WAVE_FORMAT_PCM, 1, 22050, 1, 2205, 4, 30000, 1001, 33367, false},
    {"ImaAdpcmStereo", WAVE_FORMAT_IMA_ADPCM, 2, 44100, 1024, 3, 5, 15, 1, 66667, false},
    {"ImaAdpcmMono", WAVE_FORMAT_IMA_ADPCM, 1, 22050, 512, 2, 7, 24, 1, 41667, false},
    {"Pcm16StereoInRecords", WAVE_FORMAT_PCM, 2, 44100, 4, 4410, 4, 25, 1, 40000, true},
};

class AviHeaderFixTest : public ProgramTest {
protected:
    Bytes Make(const AudioCase &c, std::vector<BYTE> *pSound)
    {
        AviSpec spec;
        spec.dwRate = c.dwRate, spec.dwScale = c.dwScale, spec.fRecords = c.fRecords;
        spec.audioFormat = MakeWaveFormat(c.wFormatTag, c.nChannels, c.nSamplesPerSec, c.nBlockAlign);
        spec.cBlocksPerWrite = c.cBlocksPerWrite, spec.cWrites = c.cWrites;
        EXPECT_TRUE(MakeAviFile(strPath, spec, pSound));
        return ReadFileBytes(strPath);
    }
    std::string strPath = AddFile("\x95\x5C.avi"); // a name whose trail byte is '\'
};

} // namespace

TEST_F(AviHeaderFixTest, AudioReadsBackWholeAndFrameTimeIsRight)
{
    for (const AudioCase &c : aAudioCases) {
        SCOPED_TRACE(c.pszName);
        std::vector<BYTE> sound;
        Bytes before = Make(c, &sound);
        Landmarks lm(before);
        const LONG cSamples = (LONG)sound.size() / c.nBlockAlign;
        // Wine's writer counts one sample per chunk and writes the rate inverted; elsewhere both are right.
        StreamFacts audio = ReadStreamFacts(strPath, streamtypeAUDIO);
        EXPECT_EQ(audio.lLength, IsWine() ? c.cWrites : cSamples);
        EXPECT_EQ(DwordAt(before, lm.offFrameTime), IsWine() ? (DWORD)MulDiv(c.dwRate, 1000000, c.dwScale) : c.dwFrameTime);

        ASSERT_TRUE(RepairAviHeaders(strPath.c_str()));
        Bytes after = ReadFileBytes(strPath);
        EXPECT_TRUE(OnlyHeaderValuesChanged(before, after, lm));
        EXPECT_EQ(DwordAt(after, lm.offFrameTime), c.dwFrameTime);
        // Wine's writer leaves the last audio chunk of a file written in records out of its index, and the
        // library reads by the index: the length stops where the index does.
        audio = ReadStreamFacts(strPath, streamtypeAUDIO);
        LONG cIndexed = c.fRecords && IsWine() ? cSamples - c.cBlocksPerWrite : cSamples;
        EXPECT_EQ(audio.lLength, cIndexed);
        EXPECT_TRUE(std::equal(audio.data.begin(), audio.data.end(), sound.begin()));
        EXPECT_EQ(audio.data.size(), (size_t)cIndexed * c.nBlockAlign);
        ASSERT_TRUE(RepairAviHeaders(strPath.c_str()));
        EXPECT_TRUE(ReadFileBytes(strPath) == after) << "a second repair changed something";
    }
}

TEST_F(AviHeaderFixTest, DamagedFilesChangeOnlyTheValuesTheyStillProve)
{
    std::vector<BYTE> sound;
    const Bytes original = Make(aAudioCases[0], &sound);
    const Landmarks lm(original);
    const DWORD cSamples = (DWORD)sound.size() / 4;
    using Damage = std::function<void(Bytes &)>;
    auto Cut = [](size_t cb) { return Damage([cb](Bytes &b) { b.resize(std::min(cb, b.size())); }); };
    auto Set = [](size_t off, DWORD dw) { return Damage([off, dw](Bytes &b) { memcpy(&b[off], &dw, 4); }); };
    const struct Case {
        const char *pszName;
        Damage damage;
        BOOL fResult;
        bool fFrameTimeFixed;
        DWORD cAudioLength; // 0: left as it was
    } aCases[] = {
        {"not a RIFF AVI at all", [](Bytes &b) { b = "RIFF\x04\0\0\0WAVE"; }, FALSE, false, 0},
        {"cut in the RIFF header", Cut(6), FALSE, false, 0},
        {"cut after the form type", Cut(12), TRUE, false, 0},
        {"cut in the audio stream header", Cut(lm.offAudioLength - 12), TRUE, false, 0},
        {"cut at the end of the header list", Cut(lm.offHeaderEnd), TRUE, true, 0},
        {"cut in the movie list", Cut(lm.offMovi + 5000), TRUE, true, 0},
        {"cut in the last movie chunk", Cut(lm.offIndex - 3), TRUE, true, 0},
        {"cut before the index", Cut(lm.offIndex), TRUE, true, cSamples},
        {"cut in the index", Cut(lm.offIndex + 20), TRUE, true, cSamples},
        {"movie chunk larger than its list", Set(lm.offAudioChunk + 4, 0x7FFFFFF0), TRUE, true, 0},
        {"movie chunk id not text", Set(lm.offMovi + 12, 0), TRUE, true, 0},
        {"stream list larger than the header list", Set(lm.offAudioLength - 48, 0x10000), TRUE, false, 0},
        {"header list larger than the RIFF", Set(16, 0xFFFFFF00), TRUE, false, 0},
        {"a second RIFF part follows",
         [](Bytes &b) { b = b.substr(0, 8 + DwordAt(b, 4)) + Bytes("RIFF\x1C\0\0\0AVIXLIST\x10\0\0\0movi01wb\4\0\0\0abcd", 36); },
         TRUE, true, 0},
        {"index lists less audio than the movie holds",
         Set(lm.offAudioEntry + 12, DwordAt(original, lm.offAudioEntry + 12) - 40), TRUE, true, cSamples - 10},
    };
    for (const Case &c : aCases) {
        SCOPED_TRACE(c.pszName);
        Bytes before = original;
        c.damage(before);
        WriteFileBytes(strPath, before);
        EXPECT_EQ(RepairAviHeaders(strPath.c_str()), c.fResult);
        Bytes after = ReadFileBytes(strPath);
        EXPECT_TRUE(OnlyHeaderValuesChanged(before, after, lm));
        EXPECT_EQ(DwordAt(after, lm.offFrameTime), c.fFrameTimeFixed ? 40000u : DwordAt(before, lm.offFrameTime));
        EXPECT_EQ(DwordAt(after, lm.offAudioLength), c.cAudioLength ? c.cAudioLength : DwordAt(before, lm.offAudioLength));
    }
}
