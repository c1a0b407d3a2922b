// The frame timer: the wait it arms for the frame due next and a pending timer cancelled when the window closes (a
// video of one frame a second makes every wait unmistakable); the system clock without sound; the end of playback
// under close, stop and open; and the picture on the sound's clock.
#include "app/app_state.h"
#include "playback/audio_output.h"
#include "playback/frame_timer.h"
#include "resources/resource.h"
#include "support/harness.h"

TEST_F(ProgramTest, FrameTimerWaitsForTheNextFrameAndDiesWithTheWindow)
{
    OpenFile(MakeMedia("slow.avi", "-f lavfi -i testsrc=size=240x16:rate=1 -frames:v 5 -c:v rawvideo"));
    // Play time, frame on the screen, the wait due: the screen lagging behind the clock catches up at once.
    const LONG aCases[][3] = {{1, 0, 999}, {999, 0, 1}, {1500, 1, 500}, {3001, 0, 1}, {3001, 3, 999}};
    for (const auto &c : aCases) {
        lCurFrame = c[1];
        EXPECT_EQ(GetFrameTimerDelay(c[0]), c[2]) << "at " << c[0] << " with frame " << c[1];
    }
    lCurTime = 1;
    Command(IDM_PLAY);
    ASSERT_TRUE(fTimerPending) << "no timer armed for frame 1";
    CloseProgram();
    // Only a timer killed before it ran clears the flag here; one left running would move a position nobody shows.
    EXPECT_FALSE(fTimerPending);
}

using SystemClock = ProgramTest;

// Without a sound that plays (none in the file, one no device or decoder takes, no sound server at all when this
// runs as playback_without_sound_server) the picture runs from Play to the end on the system clock: no message
// (the dialog robot fails on any), no hang, not ahead of time, the last frame shown.
TEST_F(SystemClock, CarriesThePictureWhenNoSoundPlays)
{
    const struct {
        const char *pszName;
        WORD wFormatTag, nBlockAlign; // no sound when nBlockAlign is 0
    } aCases[] = {{"no sound", 0, 0},
                  {"PCM, heard where a sound server answers", WAVE_FORMAT_PCM, 4},
                  {"a format no decoder takes", 0x7777, 4},
                  {"samples over 16384 bytes", WAVE_FORMAT_PCM, 20000}};
    for (const auto &c : aCases) {
        SCOPED_TRACE(c.pszName);
        AviSpec spec;
        spec.cFrames = 10, spec.dwRate = 10;
        if (c.nBlockAlign) {
            spec.audioFormat = MakeWaveFormat(c.wFormatTag, 2, 44100, c.nBlockAlign);
            spec.cBlocksPerWrite = 441000 / c.nBlockAlign / spec.cFrames, spec.cWrites = spec.cFrames;
        }
        std::string strPath = AddFile(std::string("clock") + std::to_string(&c - aCases) + ".avi");
        ASSERT_TRUE(MakeAviFile(strPath, spec));
        OpenFile(strPath);
        DWORD dwStart = GetTickCount();
        Command(IDM_PLAY);
        EXPECT_TRUE(PumpUntil([] { return !fPlaying; }));
        EXPECT_GE(GetTickCount() - dwStart, 900u);
        EXPECT_EQ(lCurTime, lEndTime - 1);
    }
}

// Closing the window, Stop, and opening another file, each 50 times at the moment playback ends, when the frame
// timer's thread may be waiting for the main thread to stop: nothing hangs, and no device, handle or buffer is left
// (the sound server holds no stream; the handles and the heap's blocks of a buffer's size do not grow). Late notices
// of the closed devices must not count against a new one: the sound still plays afterwards, and gives the picture
// its clock.
TEST_F(ProgramTest, PlaybackEndsCleanlyWhateverHappensAtItsEnd)
{
    const std::string strClip = "-f lavfi -i testsrc=size=32x16:rate=25 -f lavfi -i sine=sample_rate=44100 "
                                "-c:v rawvideo -c:a pcm_s16le -ac 2 -t ";
    std::string strShort = MakeMedia("short.avi", strClip + "0.2"), strLong = MakeMedia("long.avi", strClip + "2");
    auto countBigBlocks = [] {
        DWORD c = 0;
        PROCESS_HEAP_ENTRY phe = {};
        while (HeapWalk(GetProcessHeap(), &phe))
            c += (phe.wFlags & PROCESS_HEAP_ENTRY_BUSY) && phe.cbData >= 16384;
        return c;
    };
    auto playToTheEnd = [&](const std::function<void()> &act, int nDelay) {
        if (strShort != szFileName)
            OpenFile(strShort);
        Command(IDM_LAST_FRAME);
        Command(IDM_PLAY);
        PumpFor(nDelay);
        act();
        Command(IDM_STOP);
    };
    playToTheEnd([] {}, 100); // the first device opening loads the platform's sound drivers for good
    DWORD cBigBlocks = countBigBlocks(), cHandles = CountHandles();
    const std::function<void()> aActions[] = {[&] { RestartProgram(); }, [&] { Command(IDM_STOP); },
                                              [&] { OpenFile(strLong); }};
    for (const auto &act : aActions)
        for (int i = 0; i < 50; i++)
            playToTheEnd(act, 20 + i % 8 * 5);
    EXPECT_LE(countBigBlocks(), cBigBlocks);
    EXPECT_LE(CountHandles(), cHandles + 5); // each device left open holds handles of its own
    EXPECT_LE(CountSoundStreams(), 0);       // none, or no sound server at all
    if (CountSoundStreams() < 0)
        return;
    OpenFile(strLong);
    Command(IDM_PLAY);
    EXPECT_TRUE(PumpUntil([] { return AudioTime() > 300 || !fPlaying; }));
    EXPECT_TRUE(fPlaying) << "the picture ran to the end of a 2-second clip without the sound's clock";
    EXPECT_GE(countBigBlocks(), cBigBlocks + 16) << "the count above cannot see the sound's buffers";

    // While the sound gives the clock, the frame on the screen at every moment is the frame of the clock then, give
    // or take one, and the frames come in order.
    std::vector<std::pair<LONG, LONG>> shown; // the frame last painted, the sound's clock then
    EXPECT_TRUE(PumpUntil([&] {
        shown.emplace_back(lCurFrame, AudioTime());
        return !fPlaying;
    }));
    int cOnAudioClock = 0;
    for (size_t i = 1; i < shown.size(); i++) {
        EXPECT_GE(shown[i].first, shown[i - 1].first) << "moment " << i;
        if (shown[i].second != -1) {
            cOnAudioClock++;
            EXPECT_NEAR(shown[i].first, shown[i].second / 40, 1) << "moment " << i << " at " << shown[i].second;
        }
    }
    EXPECT_GT(cOnAudioClock, 50) << "the sound gave no clock";
    EXPECT_EQ(shown.back().first, 49);
}
