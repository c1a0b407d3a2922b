// The header repair on the platform writer's files: afterwards every audio sample reads back and the frame time is the
// video's; a repaired file stays as it is, and damage changes only the two values, only where the data proves them.
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

// Where the writer's files keep the two values: 'avih' comes first in 'hdrl'; the audio 'strh' holds the length 32
// bytes after its stream type, the file's first "auds".
const size_t offFrameTime = 32;

bool OnlyHeaderValuesChanged(Bytes before, const Bytes &after, size_t offAudioLength)
{
    for (size_t off : {offFrameTime, offAudioLength})
        if (off + 4 <= before.size() && off + 4 <= after.size())
            before.replace(off, 4, after, off, 4);
    return before == after;
}

} // namespace

using AviHeaderFixTest = ProgramTest;

TEST_F(AviHeaderFixTest, AudioReadsBackWholeAndDamageChangesOnlyTheValuesStillProved)
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
    Bytes original;                                // the first format's, damaged below
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
    const size_t offAudioLength = original.find("auds") + 32, offMovi = original.find("movi") - 8;
    const size_t offIndex = original.find("idx1", offMovi), offAudioEntry = original.find("01wb", offIndex);
    using Damage = std::function<void(Bytes &)>;
    auto Cut = [](size_t cb) { return Damage([cb](Bytes &b) { b.resize(std::min(cb, b.size())); }); };
    auto Set = [](size_t off, DWORD dw) { return Damage([off, dw](Bytes &b) { memcpy(&b[off], &dw, 4); }); };
    // The damage, what the repair answers, whether it fixes the frame time, and the audio length it sets (0: none).
    const std::tuple<const char *, Damage, BOOL, bool, DWORD> aDamages[] = {
        {"not a RIFF AVI at all", [](Bytes &b) { b = "RIFF\x04\0\0\0WAVE"; }, FALSE, false, 0},
        {"cut in the audio stream header", Cut(offAudioLength - 12), TRUE, false, 0},
        {"cut at the end of the header list", Cut(20 + DwordAt(original, 16)), TRUE, true, 0},
        {"cut in the index", Cut(offIndex + 20), TRUE, true, cFirstSamples},
        {"movie chunk larger than its list", Set(original.find("01wb", offMovi) + 4, 0x7FFFFFF0), TRUE, true, 0},
        {"movie chunk id not text", Set(offMovi + 12, 0), TRUE, true, 0},
        {"stream list larger than the header list", Set(offAudioLength - 48, 0x10000), TRUE, false, 0},
        {"a second RIFF part follows",
         [](Bytes &b) {
             b = b.substr(0, 8 + DwordAt(b, 4)) + Bytes("RIFF\x1C\0\0\0AVIXLIST\x10\0\0\0movi01wb\4\0\0\0abcd", 36);
         },
         TRUE, true, 0},
        {"index lists less audio than the movie holds",
         Set(offAudioEntry + 12, DwordAt(original, offAudioEntry + 12) - 40), TRUE, true, cFirstSamples - 10},
    };
    for (auto &[pszName, damage, fResult, fFrameTimeFixed, cAudioLength] : aDamages) {
        SCOPED_TRACE(pszName);
        Bytes before = original;
        damage(before);
        WriteFileBytes(strPath, before);
        EXPECT_EQ(RepairAviHeaders(strPath.c_str()), fResult);
        Bytes after = ReadFileBytes(strPath);
        EXPECT_TRUE(OnlyHeaderValuesChanged(before, after, offAudioLength));
        EXPECT_EQ(DwordAt(after, offFrameTime), fFrameTimeFixed ? 40000u : DwordAt(before, offFrameTime));
        EXPECT_EQ(DwordAt(after, offAudioLength), cAudioLength ? cAudioLength : DwordAt(before, offAudioLength));
    }
}
