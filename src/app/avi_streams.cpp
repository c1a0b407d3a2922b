// Which streams of a file the program takes, the read of a stream's format and a sound's time axis, each decided
// once: the copy routine, the document, the annotated write, the compression options and the audio output all go
// through here.
#include "app/avi_streams.h"

#include <mmreg.h>
#include <msacm.h>

#include <algorithm>

int GetSlotOfType(DWORD fccType)
{
    if (fccType == streamtypeVIDEO)
        return SLOT_VIDEO;
    if (fccType == streamtypeAUDIO)
        return SLOT_AUDIO;
    return -1;
}

void FindFirstStreams(PAVIFILE pfile, PAVISTREAM apavis[SLOT_COUNT])
{
    AVIFILEINFOA fi = {};
    AVIFileInfoA(pfile, &fi, sizeof fi);
    for (DWORD n = 0; n < fi.dwStreams && !(apavis[SLOT_VIDEO] && apavis[SLOT_AUDIO]); n++) {
        PAVISTREAM pavis;
        if (AVIFileGetStream(pfile, &pavis, 0, (LONG)n) != 0)
            continue;
        AVISTREAMINFOA si = {};
        int nSlot = AVIStreamInfoA(pavis, &si, sizeof si) == 0 ? GetSlotOfType(si.fccType) : -1;
        if (nSlot >= 0 && !apavis[nSlot])
            apavis[nSlot] = pavis;
        else
            AVIStreamRelease(pavis);
    }
}

BOOL ReadStreamFormat(PAVISTREAM pavis, std::vector<BYTE> *pFormat)
{
    // A compressing stream of the library on Wine answers the size with AVIERR_BUFFERTOOSMALL instead of
    // success; the size it gives is right all the same.
    LONG lStart = AVIStreamStart(pavis), cbFormat = 0;
    HRESULT hr = AVIStreamReadFormat(pavis, lStart, NULL, &cbFormat);
    if ((hr != AVIERR_OK && hr != AVIERR_BUFFERTOOSMALL) || cbFormat <= 0)
        return FALSE;
    pFormat->assign(cbFormat, 0);
    return AVIStreamReadFormat(pavis, lStart, pFormat->data(), &cbFormat) == AVIERR_OK;
}

const WAVEFORMATEX *ReadWaveFormat(PAVISTREAM pavis, std::vector<BYTE> *pFormat)
{
    if (!ReadStreamFormat(pavis, pFormat))
        return NULL;
    pFormat->resize(std::max(pFormat->size(), sizeof(WAVEFORMATEX)));
    return (const WAVEFORMATEX *)pFormat->data();
}

// PCM sample frames in one stream sample of a sound: its bytes as the platform's audio codecs decode them, 0 when
// none can. A sound in blocks (ADPCM) is timed by this, because the library here reports such a stream as if each
// block were one sample at the sound's sample rate, which puts every position in it, and its end, far too early.
static DWORD CountFramesPerSample(const WAVEFORMATEX *pwfx, DWORD cbSample)
{
    if (pwfx->wFormatTag == WAVE_FORMAT_PCM)
        return pwfx->nBlockAlign ? cbSample / pwfx->nBlockAlign : 0;
    WAVEFORMATEX wfxPcm = {};
    wfxPcm.wFormatTag = WAVE_FORMAT_PCM;
    HACMSTREAM has;
    if (acmFormatSuggest(NULL, (WAVEFORMATEX *)pwfx, &wfxPcm, sizeof wfxPcm, ACM_FORMATSUGGESTF_WFORMATTAG) != 0 ||
        acmStreamOpen(&has, NULL, (WAVEFORMATEX *)pwfx, &wfxPcm, NULL, 0, 0, ACM_STREAMOPENF_NONREALTIME) != 0)
        return 0;
    DWORD cbPcm = 0;
    if (acmStreamSize(has, cbSample, &cbPcm, ACM_STREAMSIZEF_SOURCE) != 0)
        cbPcm = 0;
    acmStreamClose(has, 0);
    return wfxPcm.nBlockAlign ? cbPcm / wfxPcm.nBlockAlign : 0;
}

// A sound's sample frames per stream sample and per second; FALSE for video and for sound of variable sample size
// or one no codec here decodes.
static BOOL ReadSoundRate(PAVISTREAM pavis, LONGLONG *pcFramesPerSample, LONGLONG *pcFramesPerSec)
{
    AVISTREAMINFOA si = {};
    std::vector<BYTE> format;
    const WAVEFORMATEX *pwfx = NULL;
    if (AVIStreamInfoA(pavis, &si, sizeof si) != AVIERR_OK || si.fccType != streamtypeAUDIO || si.dwSampleSize == 0 ||
        !(pwfx = ReadWaveFormat(pavis, &format)))
        return FALSE;
    *pcFramesPerSample = CountFramesPerSample(pwfx, si.dwSampleSize);
    *pcFramesPerSec = pwfx->nSamplesPerSec;
    return *pcFramesPerSample > 0 && *pcFramesPerSec > 0;
}

BOOL IsUsableWaveFormat(const WAVEFORMATEX *pwfx)
{
    if (pwfx->wFormatTag == WAVE_FORMAT_UNKNOWN || pwfx->nChannels < 1 || pwfx->nChannels > 8 ||
        pwfx->nSamplesPerSec < 1000 || pwfx->nSamplesPerSec > 384000 || pwfx->nBlockAlign == 0)
        return FALSE;
    WORD wBits = pwfx->wBitsPerSample;
    return pwfx->wFormatTag != WAVE_FORMAT_PCM || ((wBits == 8 || wBits == 16 || wBits == 24 || wBits == 32) &&
                                                   pwfx->nBlockAlign % (pwfx->nChannels * wBits / 8) == 0);
}

BOOL IsUsableSound(PAVISTREAM pavis)
{
    std::vector<BYTE> format;
    const WAVEFORMATEX *pwfx = ReadWaveFormat(pavis, &format);
    return pwfx && IsUsableWaveFormat(pwfx);
}

void SetSoundRate(PAVISTREAM pavis, AVISTREAMINFOA *psi)
{
    LONGLONG cFramesPerSample, cFramesPerSec;
    if (ReadSoundRate(pavis, &cFramesPerSample, &cFramesPerSec)) {
        psi->dwScale = (DWORD)cFramesPerSample;
        psi->dwRate = (DWORD)cFramesPerSec;
    }
}

LONG GetTimeOfSample(PAVISTREAM pavis, LONG lSample)
{
    LONGLONG cFramesPerSample, cFramesPerSec;
    if (!ReadSoundRate(pavis, &cFramesPerSample, &cFramesPerSec))
        return AVIStreamSampleToTime(pavis, lSample);
    return (LONG)((lSample * cFramesPerSample * 1000 + cFramesPerSec / 2) / cFramesPerSec);
}

LONG GetSampleAtTime(PAVISTREAM pavis, LONG lTime)
{
    LONGLONG cFramesPerSample, cFramesPerSec;
    if (!ReadSoundRate(pavis, &cFramesPerSample, &cFramesPerSec))
        return AVIStreamTimeToSample(pavis, lTime);
    return (LONG)(lTime * cFramesPerSec / (cFramesPerSample * 1000));
}
