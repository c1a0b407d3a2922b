// The sound of the document through the waveform device: a ring of up to 16 buffers, refilled on the main thread
// as the device hands each one back (MM_WOM_DONE), and the device's position as the master clock of playback.
// The frame timer's thread reads the clock: every field it reads is atomic, and it never touches the stream.
#include "playback/audio_output.h"

#include "app/avi_streams.h"

#include <algorithm>
#include <atomic>
#include <vector>

enum { AUDIO_BUFFER_COUNT = 16, AUDIO_BUFFER_SIZE = 16384 };

static std::atomic<HWAVEOUT> hWaveOut;       // the open device; null when closed
static std::atomic<BOOL> fAudioPlaying;      // a play request runs on the device
static std::atomic<LONG> lAudioPlayTo;       // end of the running request (exclusive), samples
static std::atomic<LONG> lAudioNextSample;   // next sample to read into a buffer
static std::atomic<LONG> lAudioPlayFromTime; // time of the request's first sample, where the device counts from
static std::atomic<DWORD> dwAudioStartTick;  // timeGetTime() when the request started
static std::atomic<DWORD> dwAudioSamplesPerSec, dwAudioBytesPerSec; // rates of the stream's wave format
static HWND hwndAudioNotify;                                        // receives the device's messages
static PAVISTREAM pavisAudioPlay;                                   // the stream being played
static LONG lAudioSampleSize;                                       // bytes of one sample of the stream
static HGLOBAL ahAudioBuffer[AUDIO_BUFFER_COUNT];
static WAVEHDR *alpWaveHdr[AUDIO_BUFFER_COUNT]; // each a WAVEHDR followed by its AUDIO_BUFFER_SIZE bytes of data
static WORD wAudioBuffers;                      // buffers allocated and prepared
static WORD wAudioNextBuffer;                   // the next buffer to fill, in ring order
static WORD wAudioQueued;                       // buffers written to the device and not yet returned

static BOOL OpenWaveDevice(HWND hwndNotify, PAVISTREAM pavis)
{
    std::vector<BYTE> format;
    const WAVEFORMATEX *pwfx = ReadWaveFormat(pavis, &format);
    if (!pwfx)
        return FALSE;
    dwAudioSamplesPerSec = pwfx->nSamplesPerSec;
    dwAudioBytesPerSec = pwfx->nAvgBytesPerSec;
    HWAVEOUT hwo = NULL;
    DWORD_PTR dwCallback = (DWORD_PTR)hwndNotify;
    if (waveOutOpen(&hwo, WAVE_MAPPER, pwfx, dwCallback, 0, CALLBACK_WINDOW) != MMSYSERR_NOERROR) {
        sndPlaySoundA(NULL, 0); // the simple sound player may be holding the device
        if (waveOutOpen(&hwo, WAVE_MAPPER, pwfx, dwCallback, 0, CALLBACK_WINDOW) != MMSYSERR_NOERROR)
            return FALSE;
    }
    hWaveOut = hwo;
    return TRUE;
}

static BOOL PrepareBuffer(WORD i)
{
    ahAudioBuffer[i] = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, sizeof(WAVEHDR) + AUDIO_BUFFER_SIZE);
    WAVEHDR *pwh = ahAudioBuffer[i] ? (WAVEHDR *)GlobalLock(ahAudioBuffer[i]) : NULL;
    if (pwh) {
        pwh->lpData = (LPSTR)(pwh + 1);
        pwh->dwBufferLength = AUDIO_BUFFER_SIZE;
        pwh->dwFlags = WHDR_DONE;
        if (waveOutPrepareHeader(hWaveOut, pwh, sizeof(WAVEHDR)) == MMSYSERR_NOERROR) {
            alpWaveHdr[i] = pwh;
            return TRUE;
        }
        GlobalUnlock(ahAudioBuffer[i]);
    }
    if (ahAudioBuffer[i])
        GlobalFree(ahAudioBuffer[i]);
    return FALSE;
}

// Late MM_WOM_DONE notices of a closed device are dropped before they can count against the next one.
static void DiscardDoneNotices()
{
    MSG msg;
    while (PeekMessageA(&msg, hwndAudioNotify, MM_WOM_DONE, MM_WOM_DONE, PM_REMOVE))
        ;
}

static void ReleaseDevice(HWAVEOUT hwo)
{
    while (wAudioBuffers > 0) {
        wAudioBuffers--;
        waveOutUnprepareHeader(hwo, alpWaveHdr[wAudioBuffers], sizeof(WAVEHDR));
        GlobalUnlock(ahAudioBuffer[wAudioBuffers]);
        GlobalFree(ahAudioBuffer[wAudioBuffers]);
    }
    waveOutClose(hwo);
    DiscardDoneNotices();
    wAudioQueued = 0;
}

// The handle leaves hWaveOut before the device is released: a message this thread serves meanwhile (the frame
// timer's Stop) then finds the device closed and leaves it alone.
static void AudioCloseDevice()
{
    HWAVEOUT hwo = hWaveOut.exchange(NULL);
    if (hwo)
        ReleaseDevice(hwo);
}

static BOOL AudioOpen(HWND hwndNotify, PAVISTREAM pavis)
{
    if (!pavis)
        return FALSE;
    if (hWaveOut)
        return TRUE;
    pavisAudioPlay = pavis;
    hwndAudioNotify = hwndNotify;
    AVISTREAMINFOA si = {};
    if (AVIStreamInfoA(pavis, &si, sizeof si) != AVIERR_OK)
        return FALSE;
    lAudioSampleSize = (LONG)si.dwSampleSize;
    if (lAudioSampleSize < 1 || lAudioSampleSize > AUDIO_BUFFER_SIZE || !OpenWaveDevice(hwndNotify, pavis))
        return FALSE;
    while (wAudioBuffers < AUDIO_BUFFER_COUNT && PrepareBuffer(wAudioBuffers))
        wAudioBuffers++;
    if (wAudioBuffers < 2) {
        AudioCloseDevice();
        return FALSE;
    }
    wAudioQueued = 0;
    wAudioNextBuffer = 0;
    fAudioPlaying = FALSE;
    return TRUE;
}

// The read position moves only once the buffer is on the device, so a failed read or write is tried again with
// the same samples when the next buffer comes back.
static BOOL QueueNextBuffer()
{
    WAVEHDR *pwh = alpWaveHdr[wAudioNextBuffer];
    LONG lFrom = lAudioNextSample;
    LONG n = std::min(lAudioPlayTo - lFrom, AUDIO_BUFFER_SIZE / lAudioSampleSize);
    LONG cbRead = 0, nRead = 0;
    if (AVIStreamRead(pavisAudioPlay, lFrom, n, pwh->lpData, AUDIO_BUFFER_SIZE, &cbRead, &nRead) != AVIERR_OK ||
        nRead != n)
        return FALSE;
    pwh->dwBufferLength = (DWORD)cbRead;
    if (waveOutWrite(hWaveOut, pwh, sizeof(WAVEHDR)) != MMSYSERR_NOERROR)
        return FALSE;
    lAudioNextSample = lFrom + n;
    wAudioQueued++;
    wAudioNextBuffer = (WORD)((wAudioNextBuffer + 1) % wAudioBuffers);
    return TRUE;
}

// With nothing left on the device the sound is over: all of it played, or a read that keeps failing. Either way
// the device closes, and the playback clock goes on from the system's counter instead of standing still.
static void AudioFill()
{
    if (!fAudioPlaying)
        return;
    while (wAudioQueued < wAudioBuffers && lAudioNextSample < lAudioPlayTo && QueueNextBuffer())
        ;
    if (wAudioQueued == 0)
        AudioStop();
}

BOOL AudioPlay(HWND hwndNotify, PAVISTREAM pavis, LONG lFrom, LONG lTo)
{
    if (!pavis)
        return FALSE;
    if (lFrom < 0)
        lFrom = AVIStreamStart(pavis);
    if (lTo < 0)
        lTo = AVIStreamStart(pavis) + AVIStreamLength(pavis);
    if (lFrom >= lTo || !AudioOpen(hwndNotify, pavis))
        return FALSE;
    if (!fAudioPlaying) {
        waveOutPause(hWaveOut);
        lAudioNextSample = lFrom;
        lAudioPlayFromTime = GetTimeOfSample(pavis, lFrom);
        dwAudioStartTick = timeGetTime();
        fAudioPlaying = TRUE;
    }
    lAudioPlayTo = lTo;
    AudioFill();
    HWAVEOUT hwo = hWaveOut;
    return hwo && waveOutRestart(hwo) == MMSYSERR_NOERROR;
}

void AudioStop()
{
    HWAVEOUT hwo = hWaveOut.exchange(NULL);
    if (!hwo)
        return;
    fAudioPlaying = FALSE;
    waveOutReset(hwo);
    ReleaseDevice(hwo);
}

void OnAudioBufferDone(HWAVEOUT hwo, const WAVEHDR *pwh)
{
    WAVEHDR **ppwhEnd = alpWaveHdr + wAudioBuffers;
    if (hwo != hWaveOut || wAudioQueued == 0 || std::find(alpWaveHdr, ppwhEnd, pwh) == ppwhEnd)
        return;
    wAudioQueued--;
    AudioFill();
}

LONG GetAudioMilliseconds(DWORD dwCount, DWORD dwPerSec)
{
    if (dwPerSec == 0)
        return -1;
    return (LONG)(DWORD)(((ULONGLONG)dwCount * 1000 + dwPerSec / 2) / dwPerSec);
}

// Once the last sound of the request is in a buffer the device may run dry before the picture's end: from then
// on the system clock rules. The device cannot have played more than the time since the request started; Wine's
// answers with what it has handed on, up to 100 ms more at the start, which would skip the first frames.
LONG AudioTime()
{
    HWAVEOUT hwo = hWaveOut;
    if (!hwo || !fAudioPlaying || lAudioNextSample >= lAudioPlayTo)
        return -1;
    MMTIME mmt = {};
    mmt.wType = TIME_SAMPLES;
    if (waveOutGetPosition(hwo, &mmt, sizeof mmt) != MMSYSERR_NOERROR)
        return -1;
    LONG lMs = mmt.wType == TIME_SAMPLES ? GetAudioMilliseconds(mmt.u.sample, dwAudioSamplesPerSec)
               : mmt.wType == TIME_BYTES ? GetAudioMilliseconds(mmt.u.cb, dwAudioBytesPerSec)
                                         : -1;
    return lMs < 0 ? -1 : lAudioPlayFromTime + std::min(lMs, (LONG)(timeGetTime() - dwAudioStartTick));
}
