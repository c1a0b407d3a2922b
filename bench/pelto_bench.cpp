// The benchmark driver: the real program started in this process as WinMain starts it, one of its jobs timed, and
// one labelled figure a line on the standard output. It measures and prints; it never judges the figures.
// "play FILE" opens FILE as the user does and plays it through the program's own message loop, watching every
// paint of the view: which frame came, how far its start was from the clocks, what the processor paid.
#include "app/app_state.h"
#include "app/startup.h"
#include "document/copy_process.h"
#include "document/file_commands.h"
#include "playback/audio_output.h"
#include "resources/resource.h"

#include <mmsystem.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

// One paint of the view during playback, taken right after the program's own paint.
struct PaintRecord {
    LONG lFrame;      // lCurFrame just painted
    LONG lAudioTime;  // AudioTime() at that moment; -1 when the sound gave no clock
    LONG lSystemTime; // the play time of the system clock at that moment, from the base playback keeps
    DWORD dwTick;     // timeGetTime() at that moment
};

// What the clip is, read once it is open and before it plays.
struct ClipFacts {
    LONGLONG llFileBytes;
    LONG cx, cy;
    double dFramesPerSecond;
    BOOL fSound;
    LONG cFrames;                // lFrameCount
    std::vector<LONG> frameTime; // start of each frame in milliseconds, and the video's end after the last
    LONG lPlayFromTime;          // lCurTime when Play ran
    LONG lFirstFrame;            // the frame on the screen when Play ran
    LONG lEndTime;               // lEndTime of the open document
    LONG lLength;                // lEndTime - lStartTime
};

// The run as it went: when playback started and stopped, on the wall and on the processor.
struct PlayRun {
    DWORD dwPlayTick, dwStopTick;     // timeGetTime() as Play was sent and as Stop ended it
    ULONGLONG ullPlayCpu, ullStopCpu; // processor time of the process, 100 ns
};

static WNDPROC pfnViewProc, pfnMainProc; // the program's own procedures of the two subclassed windows
static std::vector<PaintRecord> paints;
static BOOL fRecording; // the bench's playback runs: paints are recorded, and Stop ends the run
static PlayRun playRun;
static std::atomic<DWORD> dwDeadline; // timeGetTime() past which the run gives up

enum { EXIT_USAGE = 2, EXIT_GAVE_UP = 4 };
// Time each step may take before the run gives up: opening copies the file, playing runs at the clip's pace.
enum : DWORD { START_ALLOWANCE_MS = 60000, OPEN_ALLOWANCE_MS = 30000, OPEN_MS_PER_MB = 100, PLAY_ALLOWANCE_MS = 60000 };

static ULONGLONG GetProcessCpuTime()
{
    FILETIME ftCreation, ftExit, ftKernel, ftUser;
    if (!GetProcessTimes(GetCurrentProcess(), &ftCreation, &ftExit, &ftKernel, &ftUser))
        return 0;
    ULARGE_INTEGER uliKernel = {{ftKernel.dwLowDateTime, ftKernel.dwHighDateTime}};
    ULARGE_INTEGER uliUser = {{ftUser.dwLowDateTime, ftUser.dwHighDateTime}};
    return uliKernel.QuadPart + uliUser.QuadPart;
}

// A run that hangs (a message box nobody answers, a playback that never stops) ends itself: on Wine, killing the
// launcher would leave the process, and the desktop it holds, behind.
static DWORD WINAPI WatchdogThreadProc(LPVOID)
{
    while ((LONG)(dwDeadline - timeGetTime()) > 0)
        Sleep(250);
    fputs("pelto_bench: gave up waiting for the program\n", stderr);
    ExitProcess(EXIT_GAVE_UP);
}

static void ArmWatchdog(DWORD dwAllowance)
{
    dwDeadline = timeGetTime() + dwAllowance;
}

// A WM_PAINT with nothing to update draws nothing and is no paint here.
static LRESULT CALLBACK BenchViewWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    BOOL fDraws = uMsg == WM_PAINT && GetUpdateRect(hwnd, NULL, FALSE);
    LRESULT lResult = CallWindowProcA(pfnViewProc, hwnd, uMsg, wParam, lParam);
    if (fDraws && fRecording) {
        LONG lAudioTime = AudioTime();
        DWORD dwTick = timeGetTime();
        paints.push_back({lCurFrame, lAudioTime, (LONG)(dwTick + (DWORD)lPlayStartTime - dwPlayStartTick), dwTick});
    }
    return lResult;
}

// The frame timer's Stop at the end of the clip ends the run: the window closes as the user closes it, and the
// loop ends with the program's own shut-down.
static LRESULT CALLBACK BenchMainWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = CallWindowProcA(pfnMainProc, hwnd, uMsg, wParam, lParam);
    if (uMsg == WM_COMMAND && LOWORD(wParam) == IDM_STOP && fRecording && !fPlaying) {
        playRun.dwStopTick = timeGetTime();
        playRun.ullStopCpu = GetProcessCpuTime();
        fRecording = FALSE;
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
    }
    return lResult;
}

static WNDPROC SubclassWindow(HWND hwnd, WNDPROC pfnNew)
{
    return (WNDPROC)SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)pfnNew);
}

static LONGLONG GetFileBytes(const char *pszPath)
{
    WIN32_FILE_ATTRIBUTE_DATA fad;
    if (!GetFileAttributesExA(pszPath, GetFileExInfoStandard, &fad))
        return -1;
    return (LONGLONG)fad.nFileSizeHigh << 32 | fad.nFileSizeLow;
}

static void ReadClipFacts(const char *pszPath, ClipFacts *pclip)
{
    pclip->llFileBytes = GetFileBytes(pszPath);
    pclip->cx = cxFrame;
    pclip->cy = cyFrame;
    AVISTREAMINFOA si = {};
    AVIStreamInfoA(pavisVideo, &si, sizeof si);
    pclip->dFramesPerSecond = si.dwScale ? (double)si.dwRate / si.dwScale : 0;
    pclip->fSound = pavisAudio != NULL;
    pclip->cFrames = lFrameCount;
    pclip->frameTime.resize(lFrameCount + 1);
    for (LONG f = 0; f <= lFrameCount; f++)
        pclip->frameTime[f] = AVIStreamSampleToTime(pavisVideo, f);
    pclip->lPlayFromTime = lCurTime;
    pclip->lFirstFrame = lCurFrame;
    pclip->lEndTime = lEndTime;
    pclip->lLength = lEndTime - lStartTime;
}

// The paints and layout that the start and the open left in the queue are served before the clock starts.
static BOOL SettleQueue(HACCEL haccel)
{
    int nExitCode;
    return PumpMessages(haccel, &nExitCode);
}

// Plays the open clip from where it stands to its end through the program's message loop. FALSE when Play did
// not start playback.
static BOOL PlayToEnd(HACCEL haccel, DWORD dwAllowance)
{
    pfnViewProc = SubclassWindow(hwndView, BenchViewWndProc);
    pfnMainProc = SubclassWindow(hwndMain, BenchMainWndProc);
    ArmWatchdog(dwAllowance);
    fRecording = TRUE;
    playRun.dwPlayTick = timeGetTime();
    playRun.ullPlayCpu = GetProcessCpuTime();
    SendMessageA(hwndMain, WM_COMMAND, IDM_PLAY, 0);
    if (!fPlaying) {
        fRecording = FALSE;
        return FALSE;
    }
    RunMessageLoop(haccel);
    return TRUE;
}

// What the paints came to, each paint's frame start against the clock that playback followed at that moment (the
// sound's while it gave one, the system's after), and against the wall clock since Play was sent. A frame past the
// video's end (a sound that runs longer) counts as a paint but has no start to compare with a clock.
struct PaintFigures {
    LONG cPainted, cSkipped, cRepeated, cOutOfOrder;
    LONG cAudioPaints, lWorstAudio;   // paints on the sound's clock, and the farthest frame start from it, ms
    LONG cSystemPaints, lWorstSystem; // the same on the system clock
    LONG cWallPaints, lWorstWall;     // every paint of a frame of the clip against the wall clock
};

static PaintFigures CountPaints(const ClipFacts &clip)
{
    PaintFigures pf = {};
    std::vector<BYTE> painted(clip.cFrames, 0);
    LONG lPrevFrame = clip.lFirstFrame;
    for (const PaintRecord &p : paints) {
        pf.cRepeated += p.lFrame == lPrevFrame;
        pf.cOutOfOrder += p.lFrame < lPrevFrame;
        lPrevFrame = p.lFrame;
        if (p.lFrame < 0 || p.lFrame >= clip.cFrames)
            continue;
        pf.cPainted += !painted[p.lFrame];
        painted[p.lFrame] = 1;
        LONG lStart = clip.frameTime[p.lFrame];
        LONG lWallTime = clip.lPlayFromTime + (LONG)(p.dwTick - playRun.dwPlayTick);
        pf.cWallPaints++;
        pf.lWorstWall = std::max(pf.lWorstWall, std::labs(lStart - lWallTime));
        if (p.lAudioTime != -1) {
            pf.cAudioPaints++;
            pf.lWorstAudio = std::max(pf.lWorstAudio, std::labs(lStart - p.lAudioTime));
        } else {
            pf.cSystemPaints++;
            pf.lWorstSystem = std::max(pf.lWorstSystem, std::labs(lStart - p.lSystemTime));
        }
    }
    for (LONG f = std::max(clip.lFirstFrame + 1, 0L); f < clip.cFrames; f++)
        pf.cSkipped += !painted[f];
    return pf;
}

static void PrintWorst(const char *pszClock, LONG cPaints, LONG lWorst)
{
    printf("paints timed by the %s: %ld\n", pszClock, cPaints);
    if (cPaints > 0)
        printf("worst |frame start - %s| (ms): %ld\n", pszClock, lWorst);
    else
        printf("worst |frame start - %s| (ms): n/a\n", pszClock);
}

static void PrintPlayFigures(const char *pszPath, const ClipFacts &clip)
{
    PaintFigures pf = CountPaints(clip);
    LONG lPlayed = clip.lEndTime - clip.lPlayFromTime;
    double dCpuMs = (double)(playRun.ullStopCpu - playRun.ullPlayCpu) / 10000.0;
    printf("file: %s\n", pszPath);
    printf("file size (bytes): %lld\n", clip.llFileBytes);
    printf("frame size: %ldx%ld\n", clip.cx, clip.cy);
    printf("frames per second: %.3f\n", clip.dFramesPerSecond);
    printf("sound: %s\n", clip.fSound ? "yes" : "no");
    printf("sound device opened (audio clock ran): %s\n", pf.cAudioPaints > 0 ? "yes" : "no");
    printf("frames in the clip: %ld\n", clip.cFrames);
    printf("paints: %ld\n", (LONG)paints.size());
    printf("frames painted: %ld\n", pf.cPainted);
    printf("frames skipped (never painted after the one shown at Play): %ld\n", pf.cSkipped);
    printf("paints of the frame painted just before: %ld\n", pf.cRepeated);
    printf("paints out of order: %ld\n", pf.cOutOfOrder);
    PrintWorst("audio clock", pf.cAudioPaints, pf.lWorstAudio);
    PrintWorst("system clock", pf.cSystemPaints, pf.lWorstSystem);
    PrintWorst("wall clock since Play", pf.cWallPaints, pf.lWorstWall);
    printf("wall time of the playback (ms): %lu\n", playRun.dwStopTick - playRun.dwPlayTick);
    printf("length of the clip (ms): %ld\n", clip.lLength);
    printf("length played (ms): %ld\n", lPlayed);
    printf("CPU time of the playback (ms): %.1f\n", dCpuMs);
    printf("CPU per second of video (ms): %.1f\n", lPlayed > 0 ? dCpuMs * 1000.0 / lPlayed : 0.0);
}

static int RunPlayBench(const char *pszPath)
{
    if (!StartProgram(GetModuleHandleA(NULL), SW_SHOW)) {
        fputs("pelto_bench: the program did not start\n", stderr);
        return EXIT_FAILURE;
    }
    HACCEL haccel = LoadMainAccelerators();
    ArmWatchdog(OPEN_ALLOWANCE_MS + (DWORD)(std::max(GetFileBytes(pszPath), 0LL) >> 20) * OPEN_MS_PER_MB);
    OpenFilePath(pszPath);
    if (!pavisVideo || !SettleQueue(haccel)) {
        fprintf(stderr, "pelto_bench: %s did not open\n", pszPath);
        return EXIT_FAILURE;
    }
    ClipFacts clip;
    ReadClipFacts(pszPath, &clip);
    paints.reserve(clip.cFrames * 2 + 16);
    if (!PlayToEnd(haccel, (DWORD)clip.lLength * 3 + PLAY_ALLOWANCE_MS)) {
        fputs("pelto_bench: Play did not start playback\n", stderr);
        DestroyWindow(hwndMain);
        return EXIT_FAILURE;
    }
    PrintPlayFigures(pszPath, clip);
    return EXIT_SUCCESS;
}

// Each mode names one job of the program; the file is its input.
static const struct {
    const char *pszMode;
    int (*pfnRun)(const char *pszPath);
} aModes[] = {
    {"play", RunPlayBench},
};

int main(int argc, char **argv)
{
    // The program's working copy is made by its own executable, started again: this one, here.
    int nCopyExitCode;
    if (RunCopySwitch(&nCopyExitCode))
        return nCopyExitCode;
    const char *pszMode = argc == 3 ? argv[1] : "";
    for (const auto &mode : aModes) {
        if (strcmp(pszMode, mode.pszMode) != 0)
            continue;
        ArmWatchdog(START_ALLOWANCE_MS);
        HANDLE hWatchdog = CreateThread(NULL, 0, WatchdogThreadProc, NULL, 0, NULL);
        AVIFileInit();
        int nExitCode = mode.pfnRun(argv[2]);
        AVIFileExit();
        fflush(stdout);
        CloseHandle(hWatchdog);
        return nExitCode;
    }
    fputs("usage: pelto_bench play FILE\n", stderr);
    return EXIT_USAGE;
}
