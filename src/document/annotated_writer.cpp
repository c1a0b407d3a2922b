// Writes the annotated file. Each frame is decoded and drawn onto the work surface and, inside the figure
// range, gets the figure by the view's own composition, so a saved frame looks as the view showed it.
// Every frame chunk holds S = 3 (W + W mod 4)(H + H mod 4) bytes. A frame that cannot be decoded fails
// the write instead of saving grey or garbage.
#include "document/annotated_writer.h"

#include "app/app_state.h"
#include "app/avi_streams.h"
#include "app/long_work.h"
#include "canvas/canvas_surfaces.h"
#include "document/avi_copy.h"
#include "document/avi_header_fix.h"
#include "document/size_limits.h"

#include <algorithm>
#include <climits>
#include <vector>

// The size of the saved frames: the canvas's, which is at least 1 x 1 also for a frame rectangle that is empty.
static SIZE GetSavedFrameSize()
{
    return {std::max(cxCanvas, 1L), std::max(cyCanvas, 1L)};
}

// The frame buffer size S, in 64 bits: a frame chunk's size must fit a LONG.
static ULONGLONG GetFrameBufferSize(SIZE size)
{
    return 3ull * (ULONGLONG)(size.cx + size.cx % 4) * (ULONGLONG)(size.cy + size.cy % 4);
}

static BITMAPINFOHEADER MakeFrameFormat(LONG cbFrame)
{
    BITMAPINFOHEADER bih = {};
    bih.biSize = sizeof bih;
    bih.biWidth = GetSavedFrameSize().cx;
    bih.biHeight = GetSavedFrameSize().cy;
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    bih.biCompression = BI_RGB;
    bih.biSizeImage = (DWORD)cbFrame;
    return bih;
}

static PAVISTREAM CreateVideoStream(PAVIFILE pfile, const BITMAPINFOHEADER *pbih)
{
    EditStreamSetNameA(pavisVideo, "Video");
    AVISTREAMINFOA si = {};
    if (AVIStreamInfoA(pavisVideo, &si, sizeof si) != 0)
        return NULL;
    si.fccHandler = mmioFOURCC('D', 'I', 'B', ' ');
    si.dwQuality = (DWORD)-1;
    si.dwSuggestedBufferSize = pbih->biSizeImage;
    si.dwSampleSize = 0;
    SetRect(&si.rcFrame, 0, 0, pbih->biWidth, pbih->biHeight);
    PAVISTREAM pavis = NULL;
    if (AVIFileCreateStreamA(pfile, &pavis, &si) != 0)
        return NULL;
    if (AVIStreamSetFormat(pavis, 0, (void *)pbih, sizeof *pbih) != 0) {
        AVIStreamRelease(pavis);
        return NULL;
    }
    return pavis;
}

static PAVISTREAM CreateAudioStream(PAVIFILE pfile)
{
    EditStreamSetNameA(pavisAudio, "Audio");
    AVISTREAMINFOA si = {};
    std::vector<BYTE> format;
    if (AVIStreamInfoA(pavisAudio, &si, sizeof si) != 0 || !ReadStreamFormat(pavisAudio, &format))
        return NULL;
    SetSoundRate(pavisAudio, &si);
    PAVISTREAM pavis = NULL;
    if (AVIFileCreateStreamA(pfile, &pavis, &si) != 0)
        return NULL;
    if (AVIStreamSetFormat(pavis, 0, format.data(), (LONG)format.size()) != 0) {
        AVIStreamRelease(pavis);
        return NULL;
    }
    return pavis;
}

// The half-open range [*plFirst, *plEnd) of frames that carry the figure; an end not set is the video's.
static void GetFigureRange(LONG lF0, LONG lF1, LONG *plFirst, LONG *plEnd)
{
    *plFirst = nFigureStart == -1 ? lF0 : nFigureStart;
    *plEnd = nFigureEnd == -1 ? lF1 : nFigureEnd + 1;
}

static BOOL WriteVideo(PAVISTREAM pavisNew, const BITMAPINFOHEADER *pbih)
{
    LONG lF0 = AVIStreamStart(pavisVideo), lF1 = lF0 + AVIStreamLength(pavisVideo);
    LONG lFirst, lEnd;
    GetFigureRange(lF0, lF1, &lFirst, &lEnd);
    std::vector<BYTE> buffer(pbih->biSizeImage);
    for (LONG f = lF0; f < lF1; f++) {
        const BITMAPINFOHEADER *pbihFrame = (const BITMAPINFOHEADER *)AVIStreamGetFrame(pgfVideo, f);
        if (!pbihFrame)
            return FALSE;
        DrawFrameToWork(pbihFrame);
        if (lFirst <= f && f < lEnd)
            OverlayFigure();
        if (!ReadWorkPixels(buffer.data(), pbih))
            return FALSE;
        if (AVIStreamWrite(pavisNew, f - lF0, 1, buffer.data(), (LONG)buffer.size(), AVIIF_KEYFRAME, NULL, NULL) != 0)
            return FALSE;
        if (!ContinueLongWorkPart(f + 1 - lF0, lF1 - lF0))
            return FALSE;
    }
    return TRUE;
}

// The audio sample at the start time of the first frame. Sound before it is not written, so the rest
// keeps its timing against the video, which starts at position 0.
static LONG GetFirstAudioSample()
{
    return AVIStreamTimeToSample(pavisAudio, AVIStreamSampleToTime(pavisVideo, AVIStreamStart(pavisVideo)));
}

ULONGLONG GetAnnotatedStreamBytes()
{
    ULONGLONG cbStreams = GetWrittenStreamBytes(AVIStreamLength(pavisVideo), GetFrameBufferSize(GetSavedFrameSize()));
    return pavisAudio ? cbStreams + GetWrittenStreamBytes(pavisAudio, AVIStreamLength(pavisAudio)) : cbStreams;
}

BOOL WriteAnnotatedAvi(const char *pszPath)
{
    ULONGLONG cbFrame = GetFrameBufferSize(GetSavedFrameSize());
    if (!pgfVideo || cbFrame > LONG_MAX)
        return FALSE;
    BITMAPINFOHEADER bih = MakeFrameFormat((LONG)cbFrame);

    PAVIFILE pfile;
    if (AVIFileOpenA(&pfile, pszPath, OF_CREATE | OF_WRITE, NULL) != 0)
        return FALSE;
    // Both streams are made before any sample is written: the library on Wine makes no stream after that.
    PAVISTREAM pavisNewVideo = CreateVideoStream(pfile, &bih);
    PAVISTREAM pavisNewAudio = pavisNewVideo && pavisAudio ? CreateAudioStream(pfile) : NULL;
    BOOL fOk = pavisNewVideo && (!pavisAudio || pavisNewAudio);
    if (fOk) {
        BOOL fVideoOk = WriteVideo(pavisNewVideo, &bih);
        BOOL fAudioOk = !pavisAudio || CopyStream(pavisAudio, pavisNewAudio, streamtypeAUDIO, GetFirstAudioSample());
        fOk = fVideoOk && fAudioOk;
    }
    for (PAVISTREAM pavis : {pavisNewVideo, pavisNewAudio})
        if (pavis)
            AVIStreamRelease(pavis);
    AVIFileRelease(pfile);
    return fOk && RepairAviHeaders(pszPath) && IsWholeAviFile(pszPath);
}
