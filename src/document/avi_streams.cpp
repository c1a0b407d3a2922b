// Which streams of a file the program takes, and the read of a stream's format, each decided once: the copy
// routine, the document, the annotated write and the compression options all go through here.
#include "document/avi_streams.h"

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
