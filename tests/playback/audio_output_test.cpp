// The sound heard from outside: what the sound server's sink records while the program plays, against the file's
// sound as ffmpeg reads it, and the clock the picture follows.
#include "app/app_state.h"
#include "playback/audio_output.h"
#include "resources/resource.h"
#include "support/harness.h"

#include <cstdlib>

namespace {

struct SoundCase {
    const char *pszName, *pszEncoder, *pszFormat; // ffmpeg's encoder, with the rate and channels it writes
    const char *pszSink;                          // the sink that takes the decoded sound as it is
    const char *pszDecoder;                       // how ffmpeg reads the stored sound as the sink's samples
    int nTolerance;                               // per sample, between two correct decoders of the format
};

const SoundCase aSoundCases[] = {
    {"pcm_u8_mono_11025", "pcm_u8", "-ar 11025 -ac 1", "u8mono", "copy", 0},
    {"pcm_s16_stereo_44100", "pcm_s16le", "-ar 44100 -ac 2", "nullsink", "copy", 0},
    {"ima_adpcm", "adpcm_ima_wav", "-ar 44100 -ac 2", "nullsink", "pcm_s16le", 0},
    {"ms_adpcm", "adpcm_ms", "-ar 44100 -ac 2", "nullsink", "pcm_s16le", 0},
};

std::vector<int> ToSamples(const std::string &strBytes, bool f8Bit)
{
    std::vector<int> samples;
    for (size_t i = 0; i < strBytes.size(); i += f8Bit ? 1 : 2)
        samples.push_back(f8Bit ? (BYTE)strBytes[i] - 128 : (short)((BYTE)strBytes[i] | (BYTE)strBytes[i + 1] << 8));
    return samples;
}

struct Heard {
    long nFrom = -1;     // sample frame of the file's sound where the recording's sound begins; -1 when not found
    size_t cMatched = 0; // sample frames from there on that the recording holds, each within the tolerance
    size_t cSounding = 0; // sample frames from the recording's first sound to its last
};

// Aligns the recording on the file's sound: the first sounding frame of the recording is looked for in the file,
// and the two then compared frame by frame.
Heard CompareHeard(const std::vector<int> &rec, const std::vector<int> &pcm, int nChannels, int nTolerance)
{
    Heard heard;
    size_t nFirst = 0, nLast = 0;
    for (size_t i = 0; i < rec.size(); i++)
        if (rec[i] != 0) {
            nLast = i;
            if (!nFirst)
                nFirst = i - i % nChannels;
        }
    heard.cSounding = nLast >= nFirst ? (nLast - nFirst) / nChannels + 1 : 0;
    auto matches = [&](size_t r, size_t p) { return std::abs(rec[r] - pcm[p]) <= nTolerance; };
    const size_t cWindow = 64 * nChannels;
    for (size_t p = 0; p + cWindow <= pcm.size() && nFirst + cWindow <= rec.size(); p += nChannels) {
        size_t i = 0;
        while (i < cWindow && matches(nFirst + i, p + i))
            i++;
        if (i < cWindow)
            continue;
        heard.nFrom = (long)(p / nChannels);
        while (nFirst + i < rec.size() && p + i < pcm.size() && matches(nFirst + i, p + i))
            i++;
        heard.cMatched = i / nChannels;
        break;
    }
    return heard;
}

class PlayedSound : public ProgramTest, public ::testing::WithParamInterface<SoundCase> {};

} // namespace

TEST_P(PlayedSound, IsTheFilesSoundFromThePlayFrameOn)
{
    if (!HasSoundServer())
        GTEST_SKIP() << "no sound server: tools/sound-server.sh could not start one";
    const SoundCase &c = GetParam();
    std::string strPath = MakeMedia(std::string(c.pszName) + ".avi",
                                    "-f lavfi -i testsrc=size=32x16:rate=10 -f lavfi -i "
                                    "'aevalsrc=exprs=0.6*random(0)-0.3|0.6*random(1)-0.3:s=44100' -t 1.5 "
                                    "-c:v rawvideo -c:a " + std::string(c.pszEncoder) + " " + c.pszFormat);
    OpenFile(strPath);
    bool f8Bit = std::string(c.pszSink) == "u8mono";
    int nChannels = f8Bit ? 1 : 2, nRate = f8Bit ? 11025 : 44100;
    std::vector<int> pcm = ToSamples(ReadSoundWithFfmpeg(strPath, c.pszDecoder), f8Bit);
    for (int i = 0; i < 5; i++)
        Command(IDM_NEXT_FRAME);
    std::string strRecording = AddFile("played.raw");
    StartSoundRecording(c.pszSink, strRecording);
    DWORD dwStart = GetTickCount();
    Command(IDM_PLAY);
    EXPECT_TRUE(PumpUntil([] { return !fPlaying; }));
    DWORD dwPlayed = GetTickCount() - dwStart;
    Sleep(300);
    std::string strRec = StopSoundRecording(strRecording);
    WriteFileBytes(std::string("Z:\\tmp\\rec_") + c.pszName, strRec);
    WriteFileBytes(std::string("Z:\\tmp\\pcm_") + c.pszName, ReadSoundWithFfmpeg(strPath, c.pszDecoder));
    std::vector<int> rec = ToSamples(strRec, f8Bit);
    Heard heard = CompareHeard(rec, pcm, nChannels, c.nTolerance);
    printf("%s: played %lu ms, recorded %zu frames, sounding %zu, from %ld, matched %zu of %zu\n", c.pszName,
           dwPlayed, rec.size() / nChannels, heard.cSounding, heard.nFrom, heard.cMatched,
           pcm.size() / nChannels - heard.nFrom);
    EXPECT_GE(heard.nFrom, nRate / 2);
    EXPECT_LE(heard.nFrom, nRate / 2 + nRate / 100);
}

INSTANTIATE_TEST_SUITE_P(Formats, PlayedSound, ::testing::ValuesIn(aSoundCases),
                         [](const auto &info) { return std::string(info.param.pszName); });
