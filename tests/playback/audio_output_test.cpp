// The sound heard from outside: what the sound server's sink records while the program plays, against the file's
// sound as ffmpeg reads it, from the play frame on, cut by Stop, and given up when a read fails.
#include "app/app_state.h"
#include "document/document_state.h"
#include "playback/audio_output.h"
#include "resources/resource.h"
#include "support/harness.h"

#include <cstdlib>

namespace {

// The sink plays 16-bit stereo at 44,100 Hz; 8-bit mono at 11,025 Hz comes back unchanged when recorded in its own
// format. ADPCM is compared with ffmpeg's decoding: ffmpeg's IMA decoder multiplies the step where the standard
// decoder adds shifted steps, and the two drift apart by a few dozen within a block; the MS ADPCM decoders differ
// by a few units where a sample is clamped.
struct SoundCase {
    const char *pszName, *pszEncoder, *pszFormat; // ffmpeg's encoder, with the rate and channels it writes
    const char *pszDecoder;                       // ffmpeg's reading of the stored sound as PCM
    const char *pszRecord;                        // parec's format for that PCM
    int nTolerance;                               // per sample, between two correct decoders
    long cFramesPerBlock;                         // playing starts at the block that holds the position
};

const char *const pszStereo = "--format=s16le --rate=44100 --channels=2";
const SoundCase aSoundCases[] = {
    {"pcm_u8_mono_11025", "pcm_u8", "-ar 11025 -ac 1", "copy", "--format=u8 --rate=11025 --channels=1", 0, 1},
    {"pcm_s16_stereo_44100", "pcm_s16le", "-ar 44100 -ac 2", "copy", pszStereo, 0, 1},
    {"ima_adpcm", "adpcm_ima_wav", "-ar 44100 -ac 2", "pcm_s16le", pszStereo, 64, 1017},
    {"ms_adpcm", "adpcm_ms", "-ar 44100 -ac 2", "pcm_s16le", pszStereo, 8, 1012},
};

struct Heard {
    long nFrom = -1;      // sample frame of the file's sound where the recording's sound begins; -1: not found
    size_t cMatched = 0;  // sample frames from there on that the recording holds, each within the tolerance
    size_t cSounding = 0; // sample frames from the recording's first sound to its last
};

// Silence is 0. The platform fills the end of an 8-bit sound with bytes 0 rather than 128: silence too (the noise
// of these files reaches neither).
std::vector<int> ToSamples(const std::string &strBytes, bool f8Bit)
{
    std::vector<int> samples;
    for (size_t i = 0; i + (f8Bit ? 0 : 1) < strBytes.size(); i += f8Bit ? 1 : 2) {
        BYTE b = (BYTE)strBytes[i];
        samples.push_back(f8Bit ? (b ? b - 128 : 0) : (short)(b | (BYTE)strBytes[i + 1] << 8));
    }
    return samples;
}

// Aligns the recording on the file's sound: the recording's first sounding frame is looked for in the file's sound
// (noise, so that only the right place matches 64 frames on end), and from there the two are compared frame by frame.
Heard CompareHeard(const std::vector<int> &rec, const std::vector<int> &pcm, size_t nChannels, int nTolerance)
{
    Heard heard;
    size_t nFirst = rec.size(), nLast = 0;
    for (size_t i = 0; i < rec.size(); i++)
        if (rec[i] != 0) {
            nFirst = std::min(nFirst, i - i % nChannels);
            nLast = i;
        }
    if (nFirst == rec.size())
        return heard;
    heard.cSounding = (nLast - nFirst) / nChannels + 1;
    for (size_t p = 0; p < pcm.size() && heard.nFrom < 0; p += nChannels) {
        size_t i = 0;
        while (nFirst + i < rec.size() && p + i < pcm.size() && std::abs(rec[nFirst + i] - pcm[p + i]) <= nTolerance)
            i++;
        if (i >= 64 * nChannels)
            heard = {(long)(p / nChannels), i / nChannels, heard.cSounding};
    }
    return heard;
}

class PlayedSound : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        if (CountSoundStreams() < 0)
            GTEST_SKIP() << "no sound server: tools/sound-server.sh could not start one";
    }
    // Records what the sound server's sink plays while play() runs and a moment after, raw, in the format parec's
    // arguments give (the server converts without changing a sample where it can), and compares. The platform's
    // output skips ahead when it misses its deadline on a busy machine: a recording with a skip is made again,
    // three times at most; a fault of ours fails every time.
    Heard Hear(const char *pszFormat, const std::vector<int> &pcm, int nTolerance, const std::function<void()> &play)
    {
        bool f8Bit = strstr(pszFormat, "u8") != NULL;
        std::string strPath = AddFile("played.raw"), strHost = ToHostPath(strPath);
        Heard heard;
        for (int nTry = 0; nTry < 4 && (nTry == 0 || heard.cMatched != heard.cSounding); nTry++) {
            EXPECT_TRUE(RunHostCommand("parec --latency-msec=20 -d nullsink.monitor " + std::string(pszFormat) + " >'" +
                                       strHost + "' 2>/dev/null & echo $! >'" + strHost + ".pid'"));
            Sleep(300); // the reader is connected and the sink's silence flows
            play();
            Sleep(300); // what the device still held has sounded
            EXPECT_TRUE(RunHostCommand("kill $(cat '" + strHost + ".pid') && rm '" + strHost + ".pid'"));
            heard = CompareHeard(ToSamples(ReadFileBytes(strPath), f8Bit), pcm, f8Bit ? 1 : 2, nTolerance);
        }
        return heard;
    }
};

} // namespace

// From frame 5 of 15 at 10 frames a second, with Play given a second time on the way: the sound from the frame's
// sample (the first few milliseconds of a recording are lost) to the end, without a gap or a repeat, and then the
// device closed. Stop half a second in: what sounded is the file's first half second and no more than the latency
// after it. Then a read that fails with nothing left on the device (the working copy loses its second half under the
// program) closes the device, and the picture goes on to the end on the system clock instead of standing with the
// sound's.
TEST_F(PlayedSound, IsTheFilesSoundFromThePlayFrameOnAndStopAndAFailedReadSilenceIt)
{
    const std::string strNoise =
        "-f lavfi -i testsrc=size=32x16:rate=10 -f lavfi -i "
        "'aevalsrc=exprs=0.6*random(0)-0.3|0.6*random(1)-0.3:s=44100' -t 1.5 -c:v rawvideo -c:a ";
    for (const SoundCase &c : aSoundCases) {
        SCOPED_TRACE(c.pszName);
        std::string strPath = MakeMedia(std::string(c.pszName) + ".avi", strNoise + c.pszEncoder + " " + c.pszFormat);
        OpenFile(strPath);
        bool f8Bit = strstr(c.pszRecord, "u8") != NULL;
        long nRate = f8Bit ? 11025 : 44100, nFrameSample = nRate / 2;
        std::vector<int> pcm = ToSamples(ReadSoundWithFfmpeg(strPath, c.pszDecoder), f8Bit);
        long cRemaining = (long)pcm.size() / (f8Bit ? 1 : 2) - (nFrameSample - nFrameSample % c.cFramesPerBlock);
        Heard heard = Hear(c.pszRecord, pcm, c.nTolerance, [&] {
            Command(IDM_FIRST_FRAME);
            for (int i = 0; i < 5; i++)
                Command(IDM_NEXT_FRAME);
            Command(IDM_PLAY);
            PumpFor(300);
            Command(IDM_PLAY);
            EXPECT_TRUE(PumpUntil([] { return !fPlaying; }));
        });
        EXPECT_GE(heard.nFrom, nFrameSample - c.cFramesPerBlock + 1);
        EXPECT_LE(heard.nFrom, nFrameSample + nRate / 100);
        EXPECT_EQ(heard.cMatched, heard.cSounding)
            << "a gap, a repeat or a foreign sound after frame " << heard.cMatched;
        // The Stop at the picture's end may cut what the device still holds by the latency of its start.
        EXPECT_GE((long)heard.cSounding, cRemaining - nRate / 20) << "of " << cRemaining;
        EXPECT_EQ(lCurTime, lEndTime - 1);
        EXPECT_EQ(CountSoundStreams(), 0);
    }

    std::string strPath = strTempDir + aSoundCases[1].pszName + ".avi"; // 16-bit stereo
    OpenFile(strPath);
    DWORD dwPlayed = 0;
    Heard heard = Hear(pszStereo, ToSamples(ReadSoundWithFfmpeg(strPath), false), 0, [&] {
        Command(IDM_FIRST_FRAME);
        DWORD dwStart = GetTickCount();
        Command(IDM_PLAY);
        PumpFor(500);
        Command(IDM_STOP);
        dwPlayed = GetTickCount() - dwStart;
        EXPECT_EQ(CountSoundStreams(), 0);
    });
    EXPECT_LE(heard.nFrom, 441);
    EXPECT_EQ(heard.cMatched, heard.cSounding);
    EXPECT_LE(heard.cSounding, (dwPlayed + 100) * 441 / 10) << "sounded on after Stop";
    EXPECT_GE(heard.cSounding, 441 * 30) << "hardly sounded at all";

    std::string strCopy = ToHostPath(szTempFile);
    ASSERT_TRUE(RunHostCommand("truncate -s $(($(stat -c %s '" + strCopy + "') / 2)) '" + strCopy + "'"));
    Command(IDM_PLAY);
    EXPECT_TRUE(PumpUntil([] { return !fPlaying; }));
    EXPECT_EQ(lCurTime, lEndTime - 1);
    EXPECT_EQ(CountSoundStreams(), 0);
}

// The device's count in milliseconds, to the nearest: past 97 seconds at 44,100 Hz the count times 1000 no longer
// fits 32 bits.
TEST(AudioMilliseconds, RoundToTheNearestWithoutOverflow)
{
    const DWORD aCases[][3] = {{44100, 44100, 1000}, {22, 44100, 0}, {23, 44100, 1}, {0xFFFFFFFF, 44100, 97391549}};
    for (const auto &c : aCases)
        EXPECT_EQ(GetAudioMilliseconds(c[0], c[1]), (LONG)c[2]) << c[0];
    EXPECT_EQ(GetAudioMilliseconds(1, 0), -1);
}
