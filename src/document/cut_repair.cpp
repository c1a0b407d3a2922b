#include "document/cut_repair.h"

#include "app/long_work.h"
#include "app/stage_times.h"
#include "document/riff_chunks.h"

#include <vfw.h>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace {

struct CutLayout {
    HANDLE hFile = INVALID_HANDLE_VALUE;
    LONGLONG cbFile = 0;
    LONGLONG offMainHeader = -1;    // the 'avih' data
    LONGLONG offMovie = -1;         // the 'movi' list's chunk
    LONGLONG offMovieEnd = 0;       // where its size says it ends
    DWORD dwFlags = 0;              // the main header's
    std::vector<DWORD> sampleSizes; // each stream's sample size, 0 for video
    bool fIndexWhole = false;       // an index follows the movie list, whole
};

struct WholeCopy {
    HANDLE hFile = INVALID_HANDLE_VALUE;
    LONGLONG cb = 0;
    std::vector<BYTE> buffer;
};

bool ReadHeaderList(CutLayout *pl, const Chunk &ckList)
{
    Chunk ck, ckInner;
    for (LONGLONG off = ckList.offData; off < ckList.offData + ckList.cb; off = ck.offNext) {
        if (!ReadChunk(pl->hFile, off, ckList.offData + ckList.cb, &ck))
            return false;
        if (ck.fcc == ckidAVIMAINHDR && ck.cb >= sizeof(MainAVIHeader) &&
            ReadAt(pl->hFile, ck.offData + offsetof(MainAVIHeader, dwFlags), &pl->dwFlags, sizeof pl->dwFlags))
            pl->offMainHeader = ck.offData;
        if (ck.fcc != FOURCC_LIST || ck.fccList != listtypeSTREAMHEADER)
            continue;
        AVIStreamHeader strh = {};
        if (!ReadChunk(pl->hFile, ck.offData, ck.offData + ck.cb, &ckInner) || ckInner.fcc != ckidSTREAMHEADER ||
            ckInner.cb < offsetof(AVIStreamHeader, rcFrame) ||
            !ReadAt(pl->hFile, ckInner.offData, &strh, offsetof(AVIStreamHeader, rcFrame)))
            return false;
        pl->sampleSizes.push_back(strh.fccType == streamtypeAUDIO ? strh.dwSampleSize : 0);
    }
    return pl->offMainHeader >= 0;
}

// Finds the header list and the movie list, and whether the file ends where its sizes say: with its RIFF, its
// movie list and the index its main header promises all whole.
bool ReadCutLayout(CutLayout *pl, bool *pfWhole)
{
    LONGLONG offRiffEnd = 0;
    if (!ReadAviRiff(pl->hFile, &pl->cbFile, &offRiffEnd))
        return false;
    bool fHeader = false;
    Chunk ck;
    for (LONGLONG off = 12; off + 8 <= pl->cbFile; off = ck.offNext) {
        if (!ReadChunk(pl->hFile, off, pl->cbFile, &ck)) {
            // Cut inside the movie list, or after it.
            DWORD adw[3] = {};
            if (fHeader && pl->offMovie < 0 && ReadAt(pl->hFile, off, adw, sizeof adw) && adw[0] == FOURCC_LIST &&
                adw[2] == listtypeAVIMOVIE) {
                pl->offMovie = off;
                pl->offMovieEnd = off + 8 + (LONGLONG)adw[1];
            }
            break;
        }
        if (ck.fcc == FOURCC_LIST && ck.fccList == listtypeAVIHEADER && !fHeader) {
            if (!ReadHeaderList(pl, ck))
                return false;
            fHeader = true;
        } else if (ck.fcc == FOURCC_LIST && ck.fccList == listtypeAVIMOVIE && fHeader && pl->offMovie < 0) {
            pl->offMovie = off;
            pl->offMovieEnd = ck.offNext;
        } else if (ck.fcc == ckidAVINEWINDEX && pl->offMovie >= 0) {
            pl->fIndexWhole = true;
        }
    }
    *pfWhole = offRiffEnd <= pl->cbFile && pl->offMovieEnd <= pl->cbFile &&
               (pl->fIndexWhole || !(pl->dwFlags & AVIF_HASINDEX));
    return fHeader && pl->offMovie >= 0;
}

bool WriteBytes(WholeCopy *pcopy, const void *pv, DWORD cb)
{
    DWORD cbWritten = 0;
    if (!WriteFile(pcopy->hFile, pv, cb, &cbWritten, NULL) || cbWritten != cb)
        return false;
    pcopy->cb += cb;
    return ContinueLongWork((DWORD)(pcopy->cb / 1024));
}

// Copies cb bytes of the source from off, in pieces of the copy's buffer.
bool CopyBytes(const CutLayout &l, LONGLONG off, LONGLONG cb, WholeCopy *pcopy)
{
    while (cb > 0) {
        DWORD cbPiece = (DWORD)(cb < (LONGLONG)pcopy->buffer.size() ? cb : (LONGLONG)pcopy->buffer.size());
        if (!ReadAt(l.hFile, off, pcopy->buffer.data(), cbPiece) || !WriteBytes(pcopy, pcopy->buffer.data(), cbPiece))
            return false;
        off += cbPiece;
        cb -= cbPiece;
    }
    return true;
}

// Copies the whole data chunks from off to offEnd (the list's end or the file's), records flattened, up to the
// first that is cut or is no chunk; a sound chunk cut short keeps its whole samples. A record inside a record is
// passed over. False when the copy could not be written.
bool CopyWholeChunks(const CutLayout &l, LONGLONG off, LONGLONG offEnd, bool fInRecord, WholeCopy *pcopy)
{
    for (DWORD adw[3]; off + 8 <= offEnd && ReadAt(l.hFile, off, adw, sizeof adw);) {
        LONGLONG offData = off + 8;
        off = offData + adw[1] + (adw[1] & 1);
        if (adw[0] == FOURCC_LIST && adw[2] == listtypeAVIRECORD && !fInRecord) {
            if (!CopyWholeChunks(l, offData + 4, off < offEnd ? off : offEnd, true, pcopy))
                return false;
            continue;
        }
        int nStream = GetChunkStream(adw[0]);
        bool fData = nStream >= 0 && nStream < (int)l.sampleSizes.size();
        if (!fData && adw[0] != ckidAVIPADDING && adw[0] != FOURCC_LIST)
            break;
        DWORD cb = adw[1];
        if (offData + cb > offEnd) {
            DWORD cbSample = fData ? l.sampleSizes[nStream] : 0;
            cb = cbSample ? (DWORD)((offEnd - offData) / cbSample * cbSample) : 0;
            off = offEnd;
        }
        DWORD adwHeader[2] = {adw[0], cb};
        if (fData && cb > 0 &&
            (!WriteBytes(pcopy, adwHeader, sizeof adwHeader) || !CopyBytes(l, offData, cb, pcopy) ||
             ((cb & 1) && !WriteBytes(pcopy, "", 1))))
            return false;
    }
    return true;
}

// The sizes of the RIFF and the movie list, and the main header's flags without an index.
bool PatchWholeCopy(const CutLayout &l, WholeCopy *pcopy)
{
    DWORD dwFlags = 0;
    LONGLONG offFlags = l.offMainHeader + offsetof(MainAVIHeader, dwFlags);
    return ReadAt(l.hFile, offFlags, &dwFlags, sizeof dwFlags) &&
           WriteDwordAt(pcopy->hFile, offFlags, dwFlags & ~(DWORD)(AVIF_HASINDEX | AVIF_MUSTUSEINDEX)) &&
           WriteDwordAt(pcopy->hFile, 4, (DWORD)(pcopy->cb - 8)) &&
           WriteDwordAt(pcopy->hFile, l.offMovie + 4, (DWORD)(pcopy->cb - l.offMovie - 8));
}

} // namespace

CutRepair RepairCutFile(const char *pszPath, const char *pszWhole)
{
    StageTimer timer(STAGE_HEADER_CHECK);
    CutLayout layout;
    layout.hFile = CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (layout.hFile == INVALID_HANDLE_VALUE)
        return CUT_NONE;
    CutRepair repair = CUT_NONE;
    bool fWhole = true;
    if (ReadCutLayout(&layout, &fWhole) && !fWhole) {
        WholeCopy copy;
        copy.buffer.resize(1 << 20);
        copy.hFile = CreateFileA(pszWhole, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        bool fOk =
            copy.hFile != INVALID_HANDLE_VALUE && CopyBytes(layout, 0, layout.offMovie + 12, &copy) &&
            CopyWholeChunks(layout, layout.offMovie + 12, std::min(layout.offMovieEnd, layout.cbFile), false, &copy) &&
            PatchWholeCopy(layout, &copy);
        if (copy.hFile != INVALID_HANDLE_VALUE)
            CloseHandle(copy.hFile);
        repair = fOk ? CUT_REPAIRED : CUT_FAILED;
    }
    CloseHandle(layout.hFile);
    return repair;
}
