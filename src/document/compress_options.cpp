// The document's compression options. By default a saved file stores its video as uncompressed frames
// ("DIB ") and its sound in its own format; the copy of that format lives in a locked, movable global
// block, the form in which AVISaveOptionsFree releases it.
#include "document/compress_options.h"

#include "document/document_state.h"

AVICOMPRESSOPTIONS aCompressOptions[SLOT_COUNT];
LPAVICOMPRESSOPTIONS apCompressOptions[SLOT_COUNT] = {&aCompressOptions[SLOT_VIDEO], &aCompressOptions[SLOT_AUDIO]};

static void SetVideoDefaults(AVICOMPRESSOPTIONS *pOptions)
{
    pOptions->fccHandler = mmioFOURCC('D', 'I', 'B', ' ');
    pOptions->dwKeyFrameEvery = 15;
    pOptions->dwQuality = 10000;
    pOptions->dwFlags = AVICOMPRESSF_DATARATE | AVICOMPRESSF_KEYFRAMES | AVICOMPRESSF_VALID;
    pOptions->dwInterleaveEvery = 1;
}

static void SetAudioDefaults(AVICOMPRESSOPTIONS *pOptions, PAVISTREAM pavis)
{
    pOptions->dwFlags = AVICOMPRESSF_VALID;
    pOptions->dwInterleaveEvery = 1;
    LONG cbFormat = 0;
    LONG lStart = AVIStreamStart(pavis);
    AVIStreamReadFormat(pavis, lStart, NULL, &cbFormat);
    pOptions->cbFormat = (DWORD)cbFormat;
    if (cbFormat == 0)
        return;
    pOptions->lpFormat = GlobalLock(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, cbFormat));
    if (pOptions->lpFormat)
        AVIStreamReadFormat(pavis, lStart, pOptions->lpFormat, &cbFormat);
}

void InitCompressOptions(LPAVICOMPRESSOPTIONS *ppOptions, BOOL fFixedVideo)
{
    for (int nSlot = 0; nSlot < SLOT_COUNT; nSlot++) {
        if (fFixedVideo ? nSlot != SLOT_VIDEO : !apavisDocument[nSlot])
            continue;
        AVICOMPRESSOPTIONS *pOptions = ppOptions[nSlot];
        *pOptions = AVICOMPRESSOPTIONS{};
        if (fFixedVideo) {
            pOptions->fccType = streamtypeVIDEO;
        } else {
            AVISTREAMINFOA si = {};
            AVIStreamInfoA(apavisDocument[nSlot], &si, sizeof si);
            pOptions->fccType = si.fccType;
        }
        if (pOptions->fccType == streamtypeVIDEO)
            SetVideoDefaults(pOptions);
        else if (pOptions->fccType == streamtypeAUDIO)
            SetAudioDefaults(pOptions, apavisDocument[nSlot]);
    }
}

void ChooseCompressOptions()
{
    if (!pavisVideo)
        return;
    int cStreams = pavisAudio ? 2 : 1;
    AVISaveOptions(hwndMain, ICMF_CHOOSE_KEYFRAME | ICMF_CHOOSE_DATARATE | ICMF_CHOOSE_PREVIEW, cStreams,
                   apavisDocument, apCompressOptions);
}
