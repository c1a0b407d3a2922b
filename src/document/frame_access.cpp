// Prepares the document's streams for viewing and saving: the time range over both streams, the
// position at its start, default compression options, and the frame decompression with its DrawDib
// context. A video that no decoder here takes leaves pgfVideo null; the document is open all the same.
#include "document/frame_access.h"

#include "app/avi_streams.h"
#include "document/compress_options.h"
#include "document/document_state.h"
#include "playback/audio_output.h"

static LONG GetStreamStartTime(PAVISTREAM pavis)
{
    return GetTimeOfSample(pavis, AVIStreamStart(pavis));
}

static LONG GetStreamEndTime(PAVISTREAM pavis)
{
    return GetTimeOfSample(pavis, AVIStreamStart(pavis) + AVIStreamLength(pavis));
}

static void OpenVideoDecoding(PAVISTREAM pavis)
{
    pgfVideo = AVIStreamGetFrameOpen(pavis, (LPBITMAPINFOHEADER)AVIGETFRAMEF_BESTDISPLAYFMT);
    if (pgfVideo)
        hddVideo = DrawDibOpen();
}

void OpenFrameAccess()
{
    lStartTime = 0x7FFFFFFF;
    lEndTime = 0;
    InitCompressOptions(apCompressOptions, FALSE);
    for (PAVISTREAM pavis : apavisDocument) {
        if (!pavis)
            continue;
        LONG lStart = GetStreamStartTime(pavis);
        if (lStart <= lStartTime)
            lStartTime = lStart;
        LONG lEnd = GetStreamEndTime(pavis);
        if (lEnd >= lEndTime)
            lEndTime = lEnd;
        AVISTREAMINFOA si = {};
        AVIStreamInfoA(pavis, &si, sizeof si);
        if (si.fccType == streamtypeVIDEO)
            OpenVideoDecoding(pavis);
    }
    lCurTime = lStartTime.load();
}

void CloseFrameAccess()
{
    AudioStop();
    if (pgfVideo) {
        AVIStreamGetFrameClose(pgfVideo);
        pgfVideo = NULL;
    }
    if (hddVideo) {
        DrawDibClose(hddVideo);
        hddVideo = NULL;
    }
}
