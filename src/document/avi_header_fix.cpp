// Repairs two header values after the program has written an AVI file: the AVI library on Wine records an audio
// stream's length in chunks instead of samples (the file then reads back with one sample per chunk), and writes the
// main header's microseconds per frame inverted (25,000,000 for 25 fps). On Windows both are right and nothing changes.
// The rule: patch whole DWORDs inside 'avih' and 'strh' only, never move or resize anything; a damaged header list
// leaves the file as it is. Only the first RIFF is read: in a file of several RIFF parts (OpenDML, from 1 GiB on; the
// library never writes one) the audio lengths count the later parts too and are left alone.
#include "document/avi_header_fix.h"

#include "app/stage_times.h"
#include "document/riff_chunks.h"

#include <vfw.h>

#include <cstddef>
#include <vector>

namespace {

// The file's stream header is 56 bytes (its frame rectangle has 16-bit fields); the fields used come before it.
const DWORD cbStreamHeaderUsed = offsetof(AVIStreamHeader, rcFrame);
const DWORD cIndexEntriesPerRead = 256;

struct StreamFacts {
    LONGLONG offHeader = -1; // file offset of the 'strh' data; -1 when the stream's list has none that is whole
    AVIStreamHeader strh = {};
    ULONGLONG cbMovi = 0;  // bytes of the stream's 'wb' chunks in 'movi'
    ULONGLONG cbIndex = 0; // bytes of the stream's 'wb' chunks listed in 'idx1'
};

struct AviLayout {
    HANDLE hFile = NULL;
    LONGLONG offMainHeader = -1;      // file offset of the 'avih' data
    DWORD dwMicroSecPerFrame = 0;     // as the 'avih' holds it
    std::vector<StreamFacts> streams; // in the order of the 'strl' lists, which numbers the data chunks
    bool fHeaderWhole = false;        // the 'hdrl' list was read to its end
    bool fMoviWhole = false;          // the 'movi' list was read to its end
    bool fIndexWhole = false;         // an 'idx1' was read to its end
    bool fMoreParts = false;          // a RIFF 'AVIX' follows the first RIFF
};

// The stream number of an audio data chunk ("01wb"); -1 for any other id.
int StreamOfAudioChunk(DWORD fcc)
{
    return HIWORD(fcc) == cktypeWAVEbytes ? GetChunkStream(fcc) : -1;
}

bool ReadStreamList(AviLayout *pl, const Chunk &ckList)
{
    StreamFacts facts;
    Chunk ck;
    for (LONGLONG off = ckList.offData; off < ckList.offData + ckList.cb; off = ck.offNext) {
        if (!ReadChunk(pl->hFile, off, ckList.offData + ckList.cb, &ck))
            return false;
        if (ck.fcc == ckidSTREAMHEADER && facts.offHeader < 0 && ck.cb >= cbStreamHeaderUsed) {
            if (!ReadAt(pl->hFile, ck.offData, &facts.strh, cbStreamHeaderUsed))
                return false;
            facts.offHeader = ck.offData;
        }
    }
    pl->streams.push_back(facts);
    return true;
}

bool ReadHeaderList(AviLayout *pl, const Chunk &ckList)
{
    Chunk ck;
    for (LONGLONG off = ckList.offData; off < ckList.offData + ckList.cb; off = ck.offNext) {
        if (!ReadChunk(pl->hFile, off, ckList.offData + ckList.cb, &ck))
            return false;
        if (ck.fcc == ckidAVIMAINHDR && pl->offMainHeader < 0 && ck.cb >= sizeof(DWORD)) {
            if (!ReadAt(pl->hFile, ck.offData, &pl->dwMicroSecPerFrame, sizeof(DWORD)))
                return false;
            pl->offMainHeader = ck.offData;
        } else if (ck.fcc == FOURCC_LIST && ck.fccList == listtypeSTREAMHEADER && !ReadStreamList(pl, ck))
            return false;
    }
    return true;
}

// Totals the audio data chunks of 'movi', also those inside 'rec ' lists; other lists and chunks are passed over.
bool ReadMovieList(AviLayout *pl, const Chunk &ckList, bool fInRecord)
{
    Chunk ck;
    for (LONGLONG off = ckList.offData; off < ckList.offData + ckList.cb; off = ck.offNext) {
        if (!ReadChunk(pl->hFile, off, ckList.offData + ckList.cb, &ck))
            return false;
        if (ck.fcc == FOURCC_LIST) {
            if (ck.fccList == listtypeAVIRECORD && !fInRecord && !ReadMovieList(pl, ck, true))
                return false;
            continue;
        }
        int nStream = StreamOfAudioChunk(ck.fcc);
        if (nStream >= 0 && nStream < (int)pl->streams.size())
            pl->streams[nStream].cbMovi += ck.cb;
    }
    return true;
}

bool ReadIndex(AviLayout *pl, const Chunk &ck)
{
    AVIINDEXENTRY aEntries[cIndexEntriesPerRead];
    DWORD cLeft = ck.cb / sizeof(AVIINDEXENTRY);
    for (LONGLONG off = ck.offData; cLeft > 0;) {
        DWORD cEntries = cLeft < cIndexEntriesPerRead ? cLeft : cIndexEntriesPerRead;
        if (!ReadAt(pl->hFile, off, aEntries, cEntries * sizeof(AVIINDEXENTRY)))
            return false;
        for (DWORD i = 0; i < cEntries; i++) {
            int nStream = StreamOfAudioChunk(aEntries[i].ckid);
            if (nStream >= 0 && nStream < (int)pl->streams.size())
                pl->streams[nStream].cbIndex += aEntries[i].dwChunkLength;
        }
        off += (LONGLONG)(cEntries * sizeof(AVIINDEXENTRY));
        cLeft -= cEntries;
    }
    return true;
}

// Reads the chunks of the first RIFF up to the first damaged one; what was read whole is flagged.
void ReadLayout(AviLayout *pl, LONGLONG offRiffEnd, LONGLONG cbFile)
{
    DWORD adwNext[3] = {};
    LONGLONG offNext = offRiffEnd + (offRiffEnd & 1);
    pl->fMoreParts = offNext + 12 <= cbFile && ReadAt(pl->hFile, offNext, adwNext, sizeof adwNext) &&
                     adwNext[0] == FOURCC_RIFF && adwNext[2] == mmioFOURCC('A', 'V', 'I', 'X');
    if (offRiffEnd > cbFile)
        offRiffEnd = cbFile;

    bool fHeaderSeen = false, fMoviSeen = false, fIndexSeen = false;
    Chunk ck;
    for (LONGLONG off = 12; ReadChunk(pl->hFile, off, offRiffEnd, &ck); off = ck.offNext) {
        if (ck.fcc == FOURCC_LIST && ck.fccList == listtypeAVIHEADER && !fHeaderSeen) {
            fHeaderSeen = true;
            pl->fHeaderWhole = ReadHeaderList(pl, ck);
            if (!pl->fHeaderWhole)
                return;
        } else if (ck.fcc == FOURCC_LIST && ck.fccList == listtypeAVIMOVIE && fHeaderSeen && !fMoviSeen) {
            fMoviSeen = true;
            pl->fMoviWhole = ReadMovieList(pl, ck, false);
            if (!pl->fMoviWhole)
                return;
        } else if (ck.fcc == ckidAVINEWINDEX && fMoviSeen && !fIndexSeen) {
            fIndexSeen = true;
            pl->fIndexWhole = ReadIndex(pl, ck);
        }
    }
}

// The samples an audio stream truly holds: its bytes in 'movi', but no more than 'idx1' lists, because a reader that
// goes by the index (the AVI library does) reaches nothing else. Wine leaves the last audio chunk out of the index of
// a file written in records. -1 when the length cannot be known or does not fit.
LONGLONG TrueAudioLength(const AviLayout &l, const StreamFacts &s)
{
    if (!l.fMoviWhole || l.fMoreParts || s.offHeader < 0 || s.strh.fccType != streamtypeAUDIO ||
        s.strh.dwSampleSize == 0)
        return -1;
    ULONGLONG cb = s.cbMovi;
    if (l.fIndexWhole && s.cbIndex < cb)
        cb = s.cbIndex;
    ULONGLONG cSamples = cb / s.strh.dwSampleSize;
    return cSamples <= MAXDWORD ? (LONGLONG)cSamples : -1;
}

// round(1,000,000 * scale / rate) of the first video stream; -1 when there is none with a usable rate.
LONGLONG TrueMicroSecPerFrame(const AviLayout &l)
{
    for (const StreamFacts &s : l.streams) {
        if (s.offHeader < 0 || s.strh.fccType != streamtypeVIDEO || s.strh.dwRate == 0 || s.strh.dwScale == 0)
            continue;
        ULONGLONG us = (1000000ull * s.strh.dwScale + s.strh.dwRate / 2) / s.strh.dwRate;
        return us <= MAXDWORD ? (LONGLONG)us : -1;
    }
    return -1;
}

} // namespace

BOOL RepairAviHeaders(const char *pszPath)
{
    StageTimer timer(STAGE_HEADER_REPAIR);
    HANDLE hFile = CreateFileA(pszPath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return FALSE;

    BOOL fOk = FALSE;
    LONGLONG cbFile = 0, offRiffEnd = 0;
    if (ReadAviRiff(hFile, &cbFile, &offRiffEnd)) {
        fOk = TRUE;
        AviLayout layout;
        layout.hFile = hFile;
        ReadLayout(&layout, offRiffEnd, cbFile);

        if (layout.fHeaderWhole) {
            for (const StreamFacts &s : layout.streams) {
                LONGLONG cSamples = TrueAudioLength(layout, s);
                if (cSamples >= 0 && cSamples != s.strh.dwLength &&
                    !WriteDwordAt(hFile, s.offHeader + offsetof(AVIStreamHeader, dwLength), (DWORD)cSamples))
                    fOk = FALSE;
            }
            LONGLONG us = TrueMicroSecPerFrame(layout);
            if (us >= 0 && layout.offMainHeader >= 0 && us != layout.dwMicroSecPerFrame &&
                !WriteDwordAt(hFile, layout.offMainHeader + offsetof(MainAVIHeader, dwMicroSecPerFrame), (DWORD)us))
                fOk = FALSE;
        }
    }
    CloseHandle(hFile);
    return fOk;
}

BOOL IsWholeAviFile(const char *pszPath)
{
    StageTimer timer(STAGE_WHOLENESS_CHECK);
    HANDLE hFile = CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    LONGLONG cbFile = 0, offRiffEnd = 0;
    BOOL fWhole = FALSE;
    if (ReadAviRiff(hFile, &cbFile, &offRiffEnd) && offRiffEnd <= cbFile) {
        AviLayout layout;
        layout.hFile = hFile;
        ReadLayout(&layout, offRiffEnd, cbFile);
        fWhole = layout.fHeaderWhole && layout.fMoviWhole && layout.fIndexWhole;
    }
    CloseHandle(hFile);
    return fWhole;
}
