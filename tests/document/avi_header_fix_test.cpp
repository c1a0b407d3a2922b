// The header repair on the platform writer's files: afterwards every audio sample reads back and the frame time is the
// video's; a repaired file stays as it is, and one of two RIFF parts or with an index short of the movie's sound
// changes only the two values, only where the data proves them.
#include "document/avi_header_fix.h"

#include "support/harness.h"

#include <mmreg.h>

namespace {

using Bytes = std::string;

DWORD DwordAt(const Bytes &b, size_t off)
{
    return *(const DWORD *)&b[off];
}

// Where the writer's files keep the two values: 'avih' comes first in 'hdrl'; the audio 'strh' holds the length 32
// bytes after its stream type, the file's first "auds".
const size_t offFrameTime = 32;

bool OnlyHeaderValuesChanged(Bytes before, const Bytes &after, size_t offAudioLength)
{
    for (size_t off : {offFrameTime, offAudioLength})
        before.replace(off, 4, after, off, 4);
    return before == after;
}

} // namespace

using AviHeaderFixTest = ProgramTest;

TEST_F(AviHeaderFixTest, AudioReadsBackWholeAndTheValuesChangeOnlyWhereTheDataProvesThem)
{
    // The writer's file (the video's rate and scale, the sound, blocks a write, writes, whether in records), and the
    // frame time the video's rate makes.
    const struct Case {
        const char *pszName;
        AviSpec spec;
        DWORD dwFrameTime;
    } aFormats[] = {
        {"Pcm16Stereo", {25, 1, MakeWaveFormat(WAVE_FORMAT_PCM, 2, 44100, 4), 4410, 5, false}, 40000},
        // 2,205 bytes a chunk: every audio chunk has an odd size and a pad byte.
        {"Pcm8MonoOddChunks", {30000, 1001, MakeWaveFormat(WAVE_FORMAT_PCM, 1, 22050, 1), 2205, 4, false}, 33367},
        {"ImaAdpcmStereo", {15, 1, MakeWaveFormat(WAVE_FORMAT_IMA_ADPCM, 2, 44100, 1024), 3, 5, false}, 66667},
        {"ImaAdpcmMono", {24, 1, MakeWaveFormat(WAVE_FORMAT_IMA_ADPCM, 1, 22050, 512), 2, 7, false}, 41667},
        {"Pcm16StereoInRecords", {25, 1, MakeWaveFormat(WAVE_FORMAT_PCM, 2, 44100, 4), 4410, 4, true}, 40000},
    };
    std::string strPath = AddFile("\x95\x5C.avi"); // a name whose trail byte is '\'
    Bytes original;                                // the first format's, changed below
    DWORD cFirstSamples = 0;
    for (const Case &c : aFormats) {
        SCOPED_TRACE(c.pszName);
        std::vector<BYTE> sound;
        ASSERT_TRUE(MakeAviFile(strPath, c.spec, &sound));
        Bytes before = ReadFileBytes(strPath);
        const WORD nBlockAlign = ((const WAVEFORMATEX *)c.spec.audioFormat.data())->nBlockAlign;
        const LONG cSamples = (LONG)sound.size() / nBlockAlign;
        if (original.empty())
            original = before, cFirstSamples = cSamples;
        ASSERT_TRUE(RepairAviHeaders(strPath.c_str()));
        Bytes after = ReadFileBytes(strPath);
        EXPECT_TRUE(OnlyHeaderValuesChanged(before, after, before.find("auds") + 32));
        EXPECT_EQ(DwordAt(after, offFrameTime), c.dwFrameTime);
        // Wine's writer leaves the last audio chunk of a file in records out of the index the library reads by.
        StreamFacts audio = ReadStreamFacts(strPath, streamtypeAUDIO);
        LONG cIndexed = c.spec.fRecords && IsWine() ? cSamples - c.spec.cBlocksPerWrite : cSamples;
        EXPECT_EQ(audio.lLength, cIndexed);
        EXPECT_TRUE(audio.data == std::vector<BYTE>(sound.begin(), sound.begin() + cIndexed * nBlockAlign));
        ASSERT_TRUE(RepairAviHeaders(strPath.c_str()));
        EXPECT_TRUE(ReadFileBytes(strPath) == after) << "a second repair changed something";
    }
    // Whole files, which the program keeps: with a second RIFF part the audio length counts the later parts too and is
    // left alone; an index that lists less audio than the movie holds sets it, as the library reads by the index. (The
    // repair runs on a file the library has just written, and one that is not whole the program refuses right after,
    // whatever the repair wrote into it.)
    const size_t offAudioLength = original.find("auds") + 32, offEntry = original.find("01wb", original.find("idx1"));
    Bytes twoParts = original.substr(0, 8 + DwordAt(original, 4)), shortIndex = original;
    twoParts += Bytes("RIFF\x1C\0\0\0AVIXLIST\x10\0\0\0movi01wb\4\0\0\0abcd", 36);
    *(DWORD *)&shortIndex[offEntry + 12] -= 40;
    const std::pair<Bytes, DWORD> aWhole[] = {{twoParts, DwordAt(original, offAudioLength)},
                                              {shortIndex, cFirstSamples - 10}};
    for (auto &[before, cAudioLength] : aWhole) {
        WriteFileBytes(strPath, before);
        EXPECT_TRUE(RepairAviHeaders(strPath.c_str()));
        Bytes after = ReadFileBytes(strPath);
        EXPECT_TRUE(OnlyHeaderValuesChanged(before, after, offAudioLength));
        EXPECT_EQ(std::make_pair(DwordAt(after, offFrameTime), DwordAt(after, offAudioLength)),
                  std::make_pair(40000ul, cAudioLength));
    }
}
