// The benchmark driver: the real program started in this process as WinMain starts it, one of its jobs timed, and
// one labelled figure a line on the standard output. It measures and prints; it never judges the figures.
// "play FILE" opens FILE as the user does and plays it through the program's own message loop, watching every
// paint of the view: which frame came, how far its start was from the clocks, what the processor paid.
// "open FILE" times the open, "save FILE OUT" the save of FILE with a filled box over every frame ("save-plain"
// the same the plain way), each with the time of every stage and the peak memory of the processes; "floor FILE
// OUT" times one plain pass of the platform's writer over FILE's frames and sound, the least any of them can cost.
#include "app/app_state.h"
#include "app/stage_times.h"
#include "app/startup.h"
#include "document/copy_process.h"
#include "document/file_commands.h"
#include "document/save_commands.h"
#include "playback/audio_output.h"
#include "resources/resource.h"

#include <mmsystem.h>
#include <psapi.h>

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

static LONGLONG ReadCounter()
{
    LARGE_INTEGER li;
    QueryPerformanceCounter(&li);
    return li.QuadPart;
}

static double GetSecondsSince(LONGLONG llStart)
{
    LARGE_INTEGER liFrequency;
    QueryPerformanceFrequency(&liFrequency);
    return (double)(ReadCounter() - llStart) / (double)liFrequency.QuadPart;
}

static double GetPeakMegabytes()
{
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof pmc;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc))
        return 0;
    return (double)pmc.PeakWorkingSetSize / (1024.0 * 1024.0);
}

// The time since this process was made, the start of its loader and libraries included.
static double GetSecondsOfLife()
{
    FILETIME ftCreation, ftExit, ftKernel, ftUser, ftNow;
    if (!GetProcessTimes(GetCurrentProcess(), &ftCreation, &ftExit, &ftKernel, &ftUser))
        return 0;
    GetSystemTimeAsFileTime(&ftNow);
    ULARGE_INTEGER uliCreation = {{ftCreation.dwLowDateTime, ftCreation.dwHighDateTime}};
    ULARGE_INTEGER uliNow = {{ftNow.dwLowDateTime, ftNow.dwHighDateTime}};
    return (double)(uliNow.QuadPart - uliCreation.QuadPart) / 1e7;
}

// The working copy is made by a second process: it leaves its stage times and its peak memory in the file that
// this variable names, and the open reads them from there.
static const char szChildReport[] = "PELTO_BENCH_CHILD_REPORT";

static void WriteChildReport()
{
    char szPath[MAX_PATH];
    DWORD cch = GetEnvironmentVariableA(szChildReport, szPath, sizeof szPath);
    FILE *pf = cch > 0 && cch < sizeof szPath ? fopen(szPath, "w") : NULL;
    if (!pf)
        return;
    for (int nStage = 0; nStage < STAGE_COUNT; nStage++)
        fprintf(pf, "%.6f\n", GetStageSeconds((WorkStage)nStage));
    fprintf(pf, "%.1f\n%.6f\n", GetPeakMegabytes(), GetSecondsOfLife());
    fclose(pf);
}

static const char *const apszStageNames[STAGE_COUNT] = {
    "header check",    "copy process",     "document open",     "frame read", "composition",   "pixel read-back",
    "annotated write", "stream copy read", "stream copy write", "file close", "header repair", "wholeness check",
};

static void PrintStages(const char *pszJob, const char *pszProcess, const double *pdSeconds)
{
    for (int nStage = 0; nStage < STAGE_COUNT; nStage++)
        if (pdSeconds[nStage] > 0)
            printf("%s stage %s, %s (s): %.3f\n", pszJob, apszStageNames[nStage], pszProcess, pdSeconds[nStage]);
}

// The program's stages, and the rest of the job's time as the stage "other".
static void PrintOwnStages(const char *pszJob, double dJobSeconds)
{
    double adSeconds[STAGE_COUNT];
    for (int nStage = 0; nStage < STAGE_COUNT; nStage++) {
        adSeconds[nStage] = GetStageSeconds((WorkStage)nStage);
        dJobSeconds -= adSeconds[nStage];
    }
    PrintStages(pszJob, "program", adSeconds);
    printf("%s stage other, program (s): %.3f\n", pszJob, dJobSeconds);
}

// Starts the program and opens pszPath through it, timed; FALSE when either failed.
static BOOL StartAndOpen(const char *pszPath, HACCEL *phaccel, double *pdOpenSeconds)
{
    if (!StartProgram(GetModuleHandleA(NULL), SW_SHOW)) {
        fputs("pelto_bench: the program did not start\n", stderr);
        return FALSE;
    }
    *phaccel = LoadMainAccelerators();
    ArmWatchdog(OPEN_ALLOWANCE_MS + (DWORD)(std::max(GetFileBytes(pszPath), 0LL) >> 20) * OPEN_MS_PER_MB);
    ResetStageTimes();
    LONGLONG llStart = ReadCounter();
    OpenFilePath(pszPath);
    *pdOpenSeconds = GetSecondsSince(llStart);
    if (!pavisVideo || !SettleQueue(*phaccel)) {
        fprintf(stderr, "pelto_bench: %s did not open\n", pszPath);
        return FALSE;
    }
    return TRUE;
}

static void PrintJobFigures(const char *pszJob, const char *pszPath, double dSeconds)
{
    printf("file: %s\n", pszPath);
    printf("frame size: %ldx%ld\n", cxFrame, cyFrame);
    printf("frames: %ld\n", lFrameCount);
    printf("%s time (s): %.3f\n", pszJob, dSeconds);
    printf("%s frames per second: %.1f\n", pszJob, dSeconds > 0 ? lFrameCount / dSeconds : 0.0);
}

static int RunOpenBench(char **argv)
{
    char szReport[MAX_PATH];
    if (!GetTempFileNameA(".", "pbr", 0, szReport))
        return EXIT_FAILURE;
    SetEnvironmentVariableA(szChildReport, szReport);
    HACCEL haccel;
    double dSeconds = 0;
    BOOL fOpened = StartAndOpen(argv[2], &haccel, &dSeconds);
    double adChild[STAGE_COUNT + 2] = {}; // the stages, the peak memory, the life
    FILE *pf = fopen(szReport, "r");
    for (int i = 0; pf && i < STAGE_COUNT + 2 && fscanf(pf, "%lf", &adChild[i]) == 1; i++)
        ;
    if (pf)
        fclose(pf);
    DeleteFileA(szReport);
    if (!fOpened)
        return EXIT_FAILURE;
    PrintJobFigures("open", argv[2], dSeconds);
    PrintOwnStages("open", dSeconds);
    PrintStages("open", "copy process", adChild);
    double dChildRest = adChild[STAGE_COUNT + 1];
    for (int nStage = 0; nStage < STAGE_COUNT; nStage++)
        dChildRest -= adChild[nStage];
    printf("open stage other, copy process from its creation (s): %.3f\n", dChildRest);
    printf("open peak memory, program (MB): %.1f\n", GetPeakMegabytes());
    printf("open peak memory, copy process (MB): %.1f\n", adChild[STAGE_COUNT]);
    DestroyWindow(hwndMain);
    return EXIT_SUCCESS;
}

// The figure of the save: a red box over the middle half of the frame, on every frame.
static void DrawBenchFigure()
{
    HBRUSH hbr = CreateSolidBrush(RGB(255, 0, 0));
    RECT rc = {cxCanvas / 4, cyCanvas / 4, cxCanvas * 3 / 4, cyCanvas * 3 / 4};
    FillRect(hdcFigure, &rc, hbr);
    DeleteObject(hbr);
    fModified = 1;
}

// The save the program makes, or (pszJob "plain save") the plain way it is held to: every frame decoded and drawn,
// and always a second pass through the copy.
static int SaveTimed(char **argv, const char *pszJob, SaveWay way)
{
    HACCEL haccel;
    double dOpenSeconds = 0;
    if (!StartAndOpen(argv[2], &haccel, &dOpenSeconds))
        return EXIT_FAILURE;
    double dPeakOpen = GetPeakMegabytes();
    DrawBenchFigure();
    ArmWatchdog(OPEN_ALLOWANCE_MS + (DWORD)(std::max(GetFileBytes(argv[2]), 0LL) >> 20) * OPEN_MS_PER_MB * 4);
    ResetStageTimes();
    LONGLONG llStart = ReadCounter();
    BOOL fSaved = SaveToFile(argv[3], way);
    double dSeconds = GetSecondsSince(llStart);
    if (!fSaved) {
        fprintf(stderr, "pelto_bench: %s was not saved\n", argv[3]);
        DestroyWindow(hwndMain);
        return EXIT_FAILURE;
    }
    PrintJobFigures(pszJob, argv[2], dSeconds);
    PrintOwnStages(pszJob, dSeconds);
    printf("%s peak memory before the save (MB): %.1f\n", pszJob, dPeakOpen);
    printf("%s peak memory (MB): %.1f\n", pszJob, GetPeakMegabytes());
    DestroyWindow(hwndMain);
    return EXIT_SUCCESS;
}

static int RunSaveBench(char **argv)
{
    return SaveTimed(argv, "save", SAVE_FAST);
}

static int RunPlainSaveBench(char **argv)
{
    return SaveTimed(argv, "plain save", SAVE_PLAIN);
}

// One stream of the floor: where its samples come from and go, and the largest block read at once.
struct FloorStream {
    PAVISTREAM pavisSource = NULL, pavisDest = NULL;
    AVISTREAMINFOA si = {};
    std::vector<BYTE> format;
    LONG cMaxSamples = 1;
};

// The time spent in the platform's writer: each call is timed alone, so that reading the source is not counted.
static LONGLONG llWriterTicks;

template <typename Call> static HRESULT TimeWriter(Call call)
{
    LONGLONG llStart = ReadCounter();
    HRESULT hr = call();
    llWriterTicks += ReadCounter() - llStart;
    return hr;
}

static BOOL OpenFloorStream(PAVIFILE pfileSource, LONG lIndex, FloorStream *pfs)
{
    LONG cbFormat = 0;
    if (AVIFileGetStream(pfileSource, &pfs->pavisSource, 0, lIndex) != 0)
        return FALSE;
    if (AVIStreamInfoA(pfs->pavisSource, &pfs->si, sizeof pfs->si) != 0 ||
        AVIStreamReadFormat(pfs->pavisSource, 0, NULL, &cbFormat) != 0)
        return FALSE;
    pfs->format.resize(cbFormat);
    AVIStreamReadFormat(pfs->pavisSource, 0, pfs->format.data(), &cbFormat);
    // Sound moves in blocks of at most 1 MB, as the program's copies move it; frames one by one.
    if (pfs->si.fccType == streamtypeAUDIO && pfs->si.dwSampleSize > 0)
        pfs->cMaxSamples = (LONG)((1 << 20) / pfs->si.dwSampleSize);
    pfs->si.dwStart = 0;
    return TRUE;
}

static BOOL CopyFloorStream(FloorStream *pfs, std::vector<BYTE> *pbuffer)
{
    LONG lStart = AVIStreamStart(pfs->pavisSource), lEnd = lStart + AVIStreamLength(pfs->pavisSource);
    for (LONG lPos = lStart; lPos < lEnd;) {
        LONG cbSample = 0, cb = 0, cSamples = 0, cWanted = std::min(pfs->cMaxSamples, lEnd - lPos);
        if (AVIStreamRead(pfs->pavisSource, lPos, 1, NULL, 0, &cbSample, NULL) != 0 || cbSample <= 0)
            return FALSE;
        if ((size_t)cbSample * cWanted > pbuffer->size())
            pbuffer->resize((size_t)cbSample * cWanted);
        if (AVIStreamRead(pfs->pavisSource, lPos, cWanted, pbuffer->data(), (LONG)pbuffer->size(), &cb, &cSamples) !=
                0 ||
            cSamples <= 0)
            return FALSE;
        // The library counts written sound in chunks: it takes sound only at the end it counts.
        LONG lWritePos = pfs->si.fccType == streamtypeAUDIO ? AVIStreamLength(pfs->pavisDest) : lPos - lStart;
        if (TimeWriter([&] {
                return AVIStreamWrite(pfs->pavisDest, lWritePos, cSamples, pbuffer->data(), cb, AVIIF_KEYFRAME, NULL,
                                      NULL);
            }) != 0)
            return FALSE;
        lPos += cSamples;
    }
    return TRUE;
}

// The floor: the frames and the sound of FILE written once through the platform's writer, as a save writes them.
static BOOL WriteOnePass(const char *pszOut, FloorStream *afs, int cStreams)
{
    PAVIFILE pfile;
    if (TimeWriter([&] { return AVIFileOpenA(&pfile, pszOut, OF_CREATE | OF_WRITE, NULL); }) != 0)
        return FALSE;
    BOOL fOk = TRUE;
    for (int i = 0; i < cStreams && fOk; i++)
        fOk = TimeWriter([&] {
                  HRESULT hr = AVIFileCreateStreamA(pfile, &afs[i].pavisDest, &afs[i].si);
                  return hr ? hr
                            : AVIStreamSetFormat(afs[i].pavisDest, 0, afs[i].format.data(), (LONG)afs[i].format.size());
              }) == 0;
    std::vector<BYTE> buffer;
    for (int i = 0; i < cStreams && fOk; i++)
        fOk = CopyFloorStream(&afs[i], &buffer);
    TimeWriter([&] {
        for (int i = 0; i < cStreams; i++)
            if (afs[i].pavisDest)
                AVIStreamRelease(afs[i].pavisDest);
        AVIFileRelease(pfile);
        return S_OK;
    });
    return fOk;
}

static int RunFloorBench(char **argv)
{
    PAVIFILE pfile;
    if (AVIFileOpenA(&pfile, argv[2], OF_READ, NULL) != 0)
        return EXIT_FAILURE;
    FloorStream afs[2];
    int cStreams = 0;
    while (cStreams < 2 && OpenFloorStream(pfile, cStreams, &afs[cStreams]))
        cStreams++;
    LONG cFrames = 0;
    for (int i = 0; i < cStreams; i++)
        if (afs[i].si.fccType == streamtypeVIDEO)
            cFrames = AVIStreamLength(afs[i].pavisSource);
    BOOL fOk = cStreams > 0 && WriteOnePass(argv[3], afs, cStreams);
    for (FloorStream &fs : afs)
        if (fs.pavisSource)
            AVIStreamRelease(fs.pavisSource);
    AVIFileRelease(pfile);
    if (!fOk) {
        fprintf(stderr, "pelto_bench: one pass over %s failed\n", argv[2]);
        return EXIT_FAILURE;
    }
    LARGE_INTEGER liFrequency;
    QueryPerformanceFrequency(&liFrequency);
    double dSeconds = (double)llWriterTicks / (double)liFrequency.QuadPart;
    printf("file: %s\n", argv[2]);
    printf("frames: %ld\n", cFrames);
    printf("one pass time (s): %.3f\n", dSeconds);
    printf("one pass frames per second: %.1f\n", dSeconds > 0 ? cFrames / dSeconds : 0.0);
    return EXIT_SUCCESS;
}

static int RunPlayMode(char **argv)
{
    return RunPlayBench(argv[2]);
}

// Each mode names one job of the program and the files it takes.
static const struct {
    const char *pszMode;
    int cArguments;
    int (*pfnRun)(char **argv);
} aModes[] = {
    {"play", 1, RunPlayMode},    {"open", 1, RunOpenBench},
    {"save", 2, RunSaveBench},   {"save-plain", 2, RunPlainSaveBench},
    {"floor", 2, RunFloorBench},
};

int main(int argc, char **argv)
{
    // The program's working copy is made by its own executable, started again: this one, here.
    int nCopyExitCode;
    if (RunCopySwitch(&nCopyExitCode)) {
        WriteChildReport();
        return nCopyExitCode;
    }
    // Every file of the run, the program's temporary ones too, goes into the folder the bench is started in.
    char szFolder[MAX_PATH];
    if (GetCurrentDirectoryA(sizeof szFolder, szFolder))
        SetEnvironmentVariableA("TMP", szFolder);
    const char *pszMode = argc >= 2 ? argv[1] : "";
    for (const auto &mode : aModes) {
        if (strcmp(pszMode, mode.pszMode) != 0 || argc != 2 + mode.cArguments)
            continue;
        ArmWatchdog(START_ALLOWANCE_MS);
        HANDLE hWatchdog = CreateThread(NULL, 0, WatchdogThreadProc, NULL, 0, NULL);
        AVIFileInit();
        int nExitCode = mode.pfnRun(argv);
        AVIFileExit();
        fflush(stdout);
        CloseHandle(hWatchdog);
        return nExitCode;
    }
    fputs("usage: pelto_bench play FILE | open FILE | save FILE OUT | save-plain FILE OUT | floor FILE OUT\n", stderr);
    return EXIT_USAGE;
}
