// The document's compression options. By default a saved file stores its video as uncompressed frames
// ("DIB ") and its sound in its own format; the copy of that format lives in a locked, movable global
// block, the form in which AVISaveOptionsFree releases it.
#include "document/compress_options.h"

#include "app/avi_streams.h"
#include "document/document_state.h"

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
    std::vector<BYTE> format;
    if (!ReadStreamFormat(pavis, &format))
        return;
    pOptions->lpFormat = GlobalLock(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, format.size()));
    if (!pOptions->lpFormat)
        return;
    CopyMemory(pOptions->lpFormat, format.data(), format.size());
    pOptions->cbFormat = (DWORD)format.size();
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
