// Copies the first video and the first audio stream of one AVI file into a new one, every sample
// flagged as a key frame. Once the destination is complete its headers are checked against the data it
// holds (see avi_header_fix.cpp). A stream whose compressor cannot be set up is copied unchanged.
#include "document/avi_copy.h"

#include "app/avi_streams.h"
#include "app/long_work.h"
#include "app/stage_times.h"
#include "document/avi_header_fix.h"

#include <algorithm>
#include <climits>
#include <vector>

// The audio read buffer's least and largest size: the library may find no convenient size for audio at all, or
// find the whole rest of the stream convenient, which would make the copy's memory, and its one chunk, grow with
// the sound's length.
static const LONG MIN_AUDIO_BUFFER = 64 * 1024, MAX_AUDIO_BUFFER = 1024 * 1024;

static PAVISTREAM CreateDestStream(PAVIFILE pfileDest, const AVISTREAMINFOA *psi, PAVISTREAM pavisSource)
{
    std::vector<BYTE> format;
    if (!ReadStreamFormat(pavisSource, &format))
        return NULL;

    PAVISTREAM pavisDest = NULL;
    AVISTREAMINFOA si = *psi;
    SetSoundRate(pavisSource, &si);
    // A failure is the caller's to report: the open and the save each say so in the program's own words.
    if (AVIFileCreateStreamA(pfileDest, &pavisDest, &si) != 0)
        return NULL;
    if (AVIStreamSetFormat(pavisDest, 0, format.data(), (LONG)format.size()) != 0) {
        AVIStreamRelease(pavisDest);
        return NULL;
    }
    return pavisDest;
}

// Where the next block goes: every stream written starts at 0. Audio goes to the end of the new stream as the
// library counts it: on a correct library that is the position the copy is at, and a library that counts audio in
// chunks accepts no other position.
static LONG GetWritePosition(PAVISTREAM pavisDest, DWORD fccType, LONG lFromStart)
{
    if (fccType != streamtypeAUDIO)
        return lFromStart;
    return AVIStreamStart(pavisDest) + AVIStreamLength(pavisDest);
}

// Reads as many whole samples from lPos on as the buffer holds, short of lEnd; the buffer grows to hold one at least.
static BOOL ReadSamples(PAVISTREAM pavis, LONG lPos, LONG lEnd, std::vector<BYTE> *pbuffer, LONG *pcbRead,
                        LONG *pcSamplesRead)
{
    StageTimer timer(STAGE_COPY_READ);
    // A sample whose size cannot be had would end the copy short of the stream's end.
    LONG cbSample = 0;
    if (AVIStreamRead(pavis, lPos, 1, NULL, 0, &cbSample, NULL) != 0 || cbSample <= 0)
        return FALSE;
    if ((size_t)cbSample > pbuffer->size())
        pbuffer->assign(cbSample, 0);
    LONG cSamples = std::min((LONG)(pbuffer->size() / cbSample), lEnd - lPos);
    return AVIStreamRead(pavis, lPos, cSamples, pbuffer->data(), (LONG)pbuffer->size(), pcbRead, pcSamplesRead) == 0;
}

static BOOL WriteSamples(PAVISTREAM pavis, LONG lPos, LONG cSamples, const std::vector<BYTE> &buffer, LONG cb,
                         LONG *pcSamplesWritten)
{
    StageTimer timer(STAGE_COPY_WRITE);
    return AVIStreamWrite(pavis, lPos, cSamples, (void *)buffer.data(), cb, AVIIF_KEYFRAME, pcSamplesWritten, NULL) ==
           0;
}

BOOL CopyStream(PAVISTREAM pavisSource, PAVISTREAM pavisDest, DWORD fccType, LONG lFrom, LONG lEnd)
{
    LONG lStart = AVIStreamStart(pavisSource);
    if (lEnd < 0)
        lEnd = lStart + AVIStreamLength(pavisSource);
    LONG cbConvenient = 0;
    if (AVIStreamRead(pavisSource, lStart, AVISTREAMREAD_CONVENIENT, NULL, 0, &cbConvenient, NULL) != 0)
        return FALSE;
    if (fccType == streamtypeAUDIO)
        cbConvenient = std::clamp(cbConvenient, MIN_AUDIO_BUFFER, MAX_AUDIO_BUFFER);
    std::vector<BYTE> buffer(std::max(cbConvenient, 0L));
    for (LONG lPos = std::max(lStart, lFrom); lPos < lEnd;) {
        LONG cbRead = 0, cSamplesRead = 0, cSamplesWritten = 0;
        if (!ReadSamples(pavisSource, lPos, lEnd, &buffer, &cbRead, &cSamplesRead) ||
            !WriteSamples(pavisDest, GetWritePosition(pavisDest, fccType, lPos - lStart), cSamplesRead, buffer, cbRead,
                          &cSamplesWritten))
            return FALSE;
        // A pass that moves nothing would repeat for ever.
        if (cSamplesWritten <= 0)
            return FALSE;
        lPos += cSamplesWritten;
        // The video's frames measure the progress of long work; the sound is quick beside them.
        if (fccType == streamtypeVIDEO && !ContinueLongWorkPart(lPos - lStart, lEnd - lStart))
            return FALSE;
    }
    return TRUE;
}

// One stream of the copy: the stream read (the source or a compressing stream made from it), the end of what
// it holds, and the stream written.
struct StreamCopy {
    PAVISTREAM pavisRead = NULL;
    PAVISTREAM pavisCompressed = NULL;
    PAVISTREAM pavisDest = NULL;
    DWORD fccType = 0;
    LONG lEnd = 0;
};

// The end of what a stream of the file really holds. Its header's length is a promise: a file cut short holds
// fewer samples, and reading one past the last that the library found aborts the process. The library finds
// a sample only where it has one, so the end is sought between the start and the promised end (or, for a length
// that makes no sense, the largest position).
static LONG FindReadableEnd(PAVISTREAM pavis)
{
    LONG lLow = AVIStreamStart(pavis), lLength = AVIStreamLength(pavis);
    LONG lHigh = lLength >= 0 && lLength <= LONG_MAX - lLow ? lLow + lLength : LONG_MAX;
    while (lLow < lHigh) {
        LONG lMiddle = lLow + (lHigh - lLow) / 2;
        if (AVIStreamFindSample(pavis, lMiddle, FIND_NEXT | FIND_ANY) >= 0)
            lLow = lMiddle + 1;
        else
            lHigh = lMiddle;
    }
    return lLow;
}

// Sets up the reading side of one stream's copy. With fCompress the samples
// are read through a compressing stream made from the options; where that cannot be made, unchanged.
// Sound whose options ask for its own format needs no compressor: it is copied unchanged. (The library
// on Wine makes a compressing stream for it that delivers no samples at all.)
static BOOL IsOwnAudioFormat(PAVISTREAM pavis, LPAVICOMPRESSOPTIONS pOptions)
{
    std::vector<BYTE> format;
    return pOptions->fccType == streamtypeAUDIO && pOptions->lpFormat && ReadStreamFormat(pavis, &format) &&
           format.size() == pOptions->cbFormat && memcmp(format.data(), pOptions->lpFormat, format.size()) == 0;
}

static BOOL AsksForCompressor(LPAVICOMPRESSOPTIONS pOptions)
{
    if (pOptions->fccType == streamtypeVIDEO)
        return pOptions->fccHandler != 0 && pOptions->fccHandler != mmioFOURCC('D', 'I', 'B', ' ');
    return pOptions->fccType == streamtypeAUDIO && pOptions->lpFormat != NULL;
}

BOOL CopiesUnchanged(PAVISTREAM *apavis, LPAVICOMPRESSOPTIONS *ppOptions)
{
    for (int nSlot = 0; nSlot < SLOT_COUNT; nSlot++)
        if (apavis[nSlot] && AsksForCompressor(ppOptions[nSlot]) && !IsOwnAudioFormat(apavis[nSlot], ppOptions[nSlot]))
            return FALSE;
    return TRUE;
}

static BOOL PrepareStreamCopy(PAVISTREAM pavis, LPAVICOMPRESSOPTIONS pOptions, BOOL fCompress, StreamCopy *pcopy)
{
    pcopy->pavisRead = pavis;
    pcopy->lEnd = FindReadableEnd(pavis);
    if (fCompress && IsOwnAudioFormat(pavis, pOptions))
        fCompress = FALSE;
    if (fCompress && AVIMakeCompressedStream(&pcopy->pavisCompressed, pavis, pOptions, NULL) == 0) {
        // The library may make the stream and find only later that no codec takes this stream: then it
        // has no format to give. Frames asked for uncompressed are then copied as they are; a compressor
        // the user chose that cannot work fails the copy rather than write something else.
        std::vector<BYTE> format;
        if (ReadStreamFormat(pcopy->pavisCompressed, &format)) {
            pcopy->pavisRead = pcopy->pavisCompressed;
        } else {
            AVIStreamRelease(pcopy->pavisCompressed);
            pcopy->pavisCompressed = NULL;
            if (AsksForCompressor(pOptions))
                return FALSE;
        }
    }
    AVISTREAMINFOA si = {};
    if (AVIStreamInfoA(pcopy->pavisRead, &si, sizeof si) != 0)
        return FALSE;
    pcopy->fccType = si.fccType;
    return TRUE;
}

static BOOL CreateCopyStream(PAVIFILE pfileDest, StreamCopy *pcopy)
{
    AVISTREAMINFOA si = {};
    if (AVIStreamInfoA(pcopy->pavisRead, &si, sizeof si) != 0)
        return FALSE;
    pcopy->pavisDest = CreateDestStream(pfileDest, &si, pcopy->pavisRead);
    return pcopy->pavisDest != NULL;
}

static void ReleaseStreamCopy(StreamCopy *pcopy)
{
    if (pcopy->pavisCompressed)
        AVIStreamRelease(pcopy->pavisCompressed);
    *pcopy = StreamCopy{};
}

// The streams are read as they will be written: their sizes are known before the destination is begun.
static SizeVerdict CheckCopyRoom(const char *pszDest, const StreamCopy *acopy)
{
    ULONGLONG cbStreams = 0;
    for (int nSlot = 0; nSlot < SLOT_COUNT; nSlot++)
        if (acopy[nSlot].pavisRead)
            cbStreams += GetWrittenStreamBytes(acopy[nSlot].pavisRead,
                                               acopy[nSlot].lEnd - AVIStreamStart(acopy[nSlot].pavisRead));
    return CheckRoomFor(pszDest, GetWrittenFileBytes(cbStreams));
}

static BOOL CopyStreams(const char *pszDest, StreamCopy *acopy)
{
    PAVIFILE pfileDest;
    if (AVIFileOpenA(&pfileDest, pszDest, OF_CREATE | OF_WRITE, NULL) != 0)
        return FALSE;
    // Every stream of the destination is made before the first sample is written: the library on Wine
    // makes no new stream in a file that already holds samples.
    BOOL fOk = TRUE;
    for (int nSlot = 0; nSlot < SLOT_COUNT && fOk; nSlot++)
        if (acopy[nSlot].pavisRead)
            fOk = CreateCopyStream(pfileDest, &acopy[nSlot]);
    for (int nSlot = 0; nSlot < SLOT_COUNT && fOk; nSlot++)
        if (acopy[nSlot].pavisRead)
            fOk =
                CopyStream(acopy[nSlot].pavisRead, acopy[nSlot].pavisDest, acopy[nSlot].fccType, 0, acopy[nSlot].lEnd);
    // The destination's streams end before its file, which writes its headers as it closes.
    StageTimer timer(STAGE_FILE_CLOSE);
    for (int nSlot = 0; nSlot < SLOT_COUNT; nSlot++)
        if (acopy[nSlot].pavisDest) {
            AVIStreamRelease(acopy[nSlot].pavisDest);
            acopy[nSlot].pavisDest = NULL;
        }
    AVIFileRelease(pfileDest);
    return fOk;
}

BOOL CopyAviFile(const char *pszSource, const char *pszDest, LPAVICOMPRESSOPTIONS *ppOptions, BOOL fVideoOnly,
                 SizeVerdict *pVerdict)
{
    SizeVerdict verdict = SIZE_FITS;
    PAVIFILE pfileSource;
    if (AVIFileOpenA(&pfileSource, pszSource, OF_READ, NULL) != 0)
        return FALSE;
    PAVISTREAM apavis[SLOT_COUNT] = {};
    FindFirstStreams(pfileSource, apavis);
    StreamCopy acopy[SLOT_COUNT];
    BOOL fOk = TRUE;
    for (int nSlot = 0; nSlot < SLOT_COUNT && fOk; nSlot++)
        if (apavis[nSlot])
            fOk = PrepareStreamCopy(apavis[nSlot], ppOptions[nSlot], nSlot == SLOT_VIDEO || !fVideoOnly, &acopy[nSlot]);
    if (fOk) {
        verdict = CheckCopyRoom(pszDest, acopy);
        fOk = verdict == SIZE_FITS && CopyStreams(pszDest, acopy);
    }
    for (int nSlot = 0; nSlot < SLOT_COUNT; nSlot++) {
        ReleaseStreamCopy(&acopy[nSlot]);
        if (apavis[nSlot])
            AVIStreamRelease(apavis[nSlot]);
    }
    AVIFileRelease(pfileSource);
    if (pVerdict)
        *pVerdict = verdict;
    // Any stream at all makes a file that must be whole once written.
    if (fOk && (apavis[SLOT_VIDEO] || apavis[SLOT_AUDIO]))
        fOk = RepairAviHeaders(pszDest) && IsWholeAviFile(pszDest);
    return fOk;
}
