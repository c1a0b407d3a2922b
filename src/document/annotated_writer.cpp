// Writes the annotated file. Each frame is decoded and drawn onto the work surface and, inside the figure
// range, gets the figure by the view's own composition, so a saved frame looks as the view showed it.
// Every frame chunk holds S = 3 (W + W mod 4)(H + H mod 4) bytes. A frame that cannot be decoded fails
// the write instead of saving grey or garbage.
#include "document/annotated_writer.h"

#include "app/app_state.h"
#include "app/avi_streams.h"
#include "app/long_work.h"
#include "app/stage_times.h"
#include "canvas/canvas_surfaces.h"
#include "canvas/figure_bytes.h"
#include "document/avi_copy.h"
#include "document/avi_header_fix.h"
#include "document/size_limits.h"

#include <algorithm>
#include <climits>
#include <cstring>
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

// Where the saved frames come from. The working copy's frames are read as bytes when they are stored as the saved
// frames are and the surfaces would keep every colour: the figure is then laid over them as bytes. Any other frame
// is decoded and drawn through the surfaces, as the view draws it.
struct FrameSource {
    const BITMAPINFOHEADER *pbih; // the saved frames' format
    BOOL fBytes;
    DWORD cbLines;  // the bytes of a frame's lines, which a frame read as bytes must have
    DWORD cbStride; // the bytes of one line, of which the pixels fill 3 W
    FigureBytes figure;
};

static BOOL IsStoredAsSaved(const BITMAPINFOHEADER *pbih)
{
    std::vector<BYTE> format;
    if (!ReadStreamFormat(pavisVideo, &format) || format.size() < sizeof(BITMAPINFOHEADER))
        return FALSE;
    const BITMAPINFOHEADER *pbihStored = (const BITMAPINFOHEADER *)format.data();
    return pbihStored->biCompression == BI_RGB && pbihStored->biBitCount == 24 &&
           pbihStored->biWidth == pbih->biWidth && pbihStored->biHeight == pbih->biHeight && cxFrame == pbih->biWidth &&
           cyFrame == pbih->biHeight;
}

static void OpenFrameSource(const BITMAPINFOHEADER *pbih, BOOL fFramesAsBytes, BOOL fFigure, FrameSource *psource)
{
    psource->pbih = pbih;
    psource->cbStride = ((DWORD)pbih->biWidth * 3 + 3) & ~3u;
    psource->cbLines = psource->cbStride * (DWORD)pbih->biHeight;
    psource->fBytes = fFramesAsBytes && HoldsTrueColour() && IsStoredAsSaved(pbih) &&
                      (!fFigure || ReadFigureBytes(pbih, &psource->figure));
}

// A frame read as bytes: FALSE when it does not hold exactly a frame's lines. The bytes that pad each line are
// written as the surfaces write them, as zeros.
static BOOL ReadFrameBytes(const FrameSource &source, LONG f, BYTE *pbFrame)
{
    StageTimer timer(STAGE_FRAME_READ);
    LONG cbRead = 0;
    if (AVIStreamRead(pavisVideo, f, 1, pbFrame, (LONG)source.cbLines, &cbRead, NULL) != 0 ||
        (DWORD)cbRead != source.cbLines)
        return FALSE;
    DWORD cbPixels = 3 * (DWORD)source.pbih->biWidth;
    for (DWORD off = 0; cbPixels < source.cbStride && off < source.cbLines; off += source.cbStride)
        memset(pbFrame + off + cbPixels, 0, source.cbStride - cbPixels);
    return TRUE;
}

static BOOL DrawFrame(LONG f, BOOL fFigure, const BITMAPINFOHEADER *pbih, BYTE *pbFrame)
{
    const BITMAPINFOHEADER *pbihFrame = NULL;
    {
        StageTimer timer(STAGE_FRAME_READ);
        pbihFrame = (const BITMAPINFOHEADER *)AVIStreamGetFrame(pgfVideo, f);
    }
    if (!pbihFrame)
        return FALSE;
    {
        StageTimer timer(STAGE_COMPOSE);
        DrawFrameToWork(pbihFrame);
        if (fFigure)
            OverlayFigure();
    }
    StageTimer timer(STAGE_READBACK);
    return ReadWorkPixels(pbFrame, pbih);
}

static BOOL MakeSavedFrame(const FrameSource &source, LONG f, BOOL fFigure, BYTE *pbFrame)
{
    if (!source.fBytes || !ReadFrameBytes(source, f, pbFrame))
        return DrawFrame(f, fFigure, source.pbih, pbFrame);
    StageTimer timer(STAGE_COMPOSE);
    if (fFigure)
        LayFigureOverBytes(source.figure, pbFrame);
    return TRUE;
}

static BOOL WriteVideo(PAVISTREAM pavisNew, const BITMAPINFOHEADER *pbih, BOOL fFramesAsBytes)
{
    LONG lF0 = AVIStreamStart(pavisVideo), lF1 = lF0 + AVIStreamLength(pavisVideo);
    LONG lFirst, lEnd;
    GetFigureRange(lF0, lF1, &lFirst, &lEnd);
    FrameSource source;
    OpenFrameSource(pbih, fFramesAsBytes, lFirst < lEnd, &source);
    std::vector<BYTE> buffer(pbih->biSizeImage);
    for (LONG f = lF0; f < lF1; f++) {
        if (!MakeSavedFrame(source, f, lFirst <= f && f < lEnd, buffer.data()))
            return FALSE;
        {
            StageTimer timer(STAGE_ANNOTATED_WRITE);
            if (AVIStreamWrite(pavisNew, f - lF0, 1, buffer.data(), (LONG)buffer.size(), AVIIF_KEYFRAME, NULL, NULL) !=
                0)
                return FALSE;
        }
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

BOOL WriteAnnotatedAvi(const char *pszPath, BOOL fFramesAsBytes)
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
        BOOL fVideoOk = WriteVideo(pavisNewVideo, &bih, fFramesAsBytes);
        BOOL fAudioOk = !pavisAudio || CopyStream(pavisAudio, pavisNewAudio, streamtypeAUDIO, GetFirstAudioSample());
        fOk = fVideoOk && fAudioOk;
    }
    {
        StageTimer timer(STAGE_FILE_CLOSE);
        for (PAVISTREAM pavis : {pavisNewVideo, pavisNewAudio})
            if (pavis)
                AVIStreamRelease(pavis);
        AVIFileRelease(pfile);
    }
    return fOk && RepairAviHeaders(pszPath) && IsWholeAviFile(pszPath);
}
