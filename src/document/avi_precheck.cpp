#include "document/avi_precheck.h"

#include "app/avi_streams.h"
#include "app/stage_times.h"
#include "document/riff_chunks.h"

#include <vfw.h>

#include <cstddef>
#include <cstdlib>

namespace {

// The largest header list read: a few streams' headers and formats, with palettes and extra data.
const DWORD MAX_HEADER_LIST = 1 << 20;

// A bitmap format a decoder could be named for, of a size whose pixels fit in 32 bits.
bool IsSoundVideoFormat(const BYTE *pb, DWORD cb)
{
    const BITMAPINFOHEADER *pbih = (const BITMAPINFOHEADER *)pb;
    if (cb < sizeof(BITMAPINFOHEADER) || pbih->biSize < sizeof(BITMAPINFOHEADER) || pbih->biSize > cb ||
        pbih->biWidth == 0 || pbih->biHeight == 0 || pbih->biWidth == LONG_MIN || pbih->biHeight == LONG_MIN)
        return false;
    if ((ULONGLONG)labs(pbih->biWidth) * (ULONGLONG)labs(pbih->biHeight) * 4 > 0x7FFFFFFF)
        return false;
    WORD wBits = pbih->biBitCount;
    switch (pbih->biCompression) {
    case BI_RGB: return wBits == 1 || wBits == 4 || wBits == 8 || wBits == 16 || wBits == 24 || wBits == 32;
    case BI_RLE8: return wBits == 8;
    case BI_RLE4: return wBits == 4;
    case BI_BITFIELDS: return wBits == 16 || wBits == 32;
    default: return IsPrintableFourcc(pbih->biCompression);
    }
}

bool IsSoundAudioFormat(const BYTE *pb, DWORD cb)
{
    WAVEFORMATEX wfx = {};
    if (cb < sizeof(PCMWAVEFORMAT))
        return false;
    memcpy(&wfx, pb, cb < sizeof wfx ? cb : sizeof wfx);
    if (wfx.wFormatTag != WAVE_FORMAT_PCM && (cb < sizeof wfx || sizeof wfx + wfx.cbSize > cb))
        return false;
    return wfx.wFormatTag != WAVE_FORMAT_MPEGLAYER3 && IsUsableWaveFormat(&wfx);
}

// One stream's list: its header, then its format, each whole and sound for the stream's kind.
bool IsSoundStreamList(HANDLE hFile, const Chunk &ckList)
{
    Chunk ck;
    AVIStreamHeader strh = {};
    bool fHeader = false, fFormat = false;
    for (LONGLONG off = ckList.offData; off < ckList.offData + ckList.cb; off = ck.offNext) {
        if (!ReadChunk(hFile, off, ckList.offData + ckList.cb, &ck))
            return false;
        if (ck.fcc == ckidSTREAMHEADER && !fHeader) {
            if (ck.cb < offsetof(AVIStreamHeader, rcFrame) ||
                !ReadAt(hFile, ck.offData, &strh, offsetof(AVIStreamHeader, rcFrame)))
                return false;
            fHeader = true;
            if (strh.fccType == streamtypeVIDEO && (strh.dwScale == 0 || strh.dwRate == 0))
                return false;
        } else if (ck.fcc == ckidSTREAMFORMAT && fHeader && !fFormat) {
            BYTE abFormat[4096] = {};
            DWORD cbRead = ck.cb < sizeof abFormat ? ck.cb : sizeof abFormat;
            if (!ReadAt(hFile, ck.offData, abFormat, cbRead))
                return false;
            fFormat = true;
            if (strh.fccType == streamtypeVIDEO && !IsSoundVideoFormat(abFormat, ck.cb))
                return false;
            if (strh.fccType == streamtypeAUDIO && !IsSoundAudioFormat(abFormat, ck.cb))
                return false;
        }
    }
    return fHeader && fFormat;
}

bool IsSoundHeaderList(HANDLE hFile, const Chunk &ckList)
{
    Chunk ck;
    DWORD cStreams = 0, cStreamLists = 0;
    bool fMainHeader = false;
    for (LONGLONG off = ckList.offData; off < ckList.offData + ckList.cb; off = ck.offNext) {
        if (!ReadChunk(hFile, off, ckList.offData + ckList.cb, &ck))
            return false;
        if (ck.fcc == ckidAVIMAINHDR && !fMainHeader) {
            if (ck.cb < sizeof(MainAVIHeader) ||
                !ReadAt(hFile, ck.offData + offsetof(MainAVIHeader, dwStreams), &cStreams, sizeof cStreams))
                return false;
            fMainHeader = true;
        } else if (ck.fcc == FOURCC_LIST && ck.fccList == listtypeSTREAMHEADER) {
            if (!IsSoundStreamList(hFile, ck))
                return false;
            cStreamLists++;
        }
    }
    return fMainHeader && cStreams == cStreamLists && cStreams > 0;
}

} // namespace

BOOL PassesHeaderCheck(const char *pszPath)
{
    StageTimer timer(STAGE_HEADER_CHECK);
    HANDLE hFile = CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    LONGLONG cbFile = 0, offRiffEnd = 0;
    bool fOk = ReadAviRiff(hFile, &cbFile, &offRiffEnd);
    bool fHeader = false;
    Chunk ck;
    for (LONGLONG off = 12; fOk && !fHeader && ReadChunk(hFile, off, cbFile, &ck); off = ck.offNext) {
        fHeader = ck.fcc == FOURCC_LIST && ck.fccList == listtypeAVIHEADER;
        fOk = !fHeader || (ck.cb <= MAX_HEADER_LIST && IsSoundHeaderList(hFile, ck));
    }
    CloseHandle(hFile);
    return fOk && fHeader;
}
