#include "document/riff_chunks.h"

#include <mmsystem.h>

bool ReadAt(HANDLE hFile, LONGLONG off, void *pv, DWORD cb)
{
    LARGE_INTEGER li;
    li.QuadPart = off;
    DWORD cbRead = 0;
    return SetFilePointerEx(hFile, li, NULL, FILE_BEGIN) && ReadFile(hFile, pv, cb, &cbRead, NULL) && cbRead == cb;
}

bool ReadAviRiff(HANDLE hFile, LONGLONG *pcbFile, LONGLONG *poffRiffEnd)
{
    DWORD adwRiff[3] = {};
    LARGE_INTEGER liSize = {};
    if (!GetFileSizeEx(hFile, &liSize) || !ReadAt(hFile, 0, adwRiff, sizeof adwRiff) || adwRiff[0] != FOURCC_RIFF ||
        adwRiff[2] != mmioFOURCC('A', 'V', 'I', ' '))
        return false;
    *pcbFile = liSize.QuadPart;
    *poffRiffEnd = 8 + (LONGLONG)adwRiff[1];
    return true;
}

bool WriteDwordAt(HANDLE hFile, LONGLONG off, DWORD dw)
{
    LARGE_INTEGER li;
    li.QuadPart = off;
    DWORD cbWritten = 0;
    return SetFilePointerEx(hFile, li, NULL, FILE_BEGIN) && WriteFile(hFile, &dw, sizeof dw, &cbWritten, NULL) &&
           cbWritten == sizeof dw;
}

bool IsPrintableFourcc(DWORD fcc)
{
    for (int i = 0; i < 4; i++) {
        BYTE b = (BYTE)(fcc >> (8 * i));
        if (b < 0x20 || b > 0x7E)
            return false;
    }
    return true;
}

bool ReadChunk(HANDLE hFile, LONGLONG off, LONGLONG offEnd, Chunk *pck)
{
    DWORD adw[3] = {};
    if (off + 8 > offEnd || !ReadAt(hFile, off, adw, 8))
        return false;
    pck->fcc = adw[0];
    pck->cb = adw[1];
    pck->fccList = 0;
    pck->offData = off + 8;
    pck->offNext = off + 8 + pck->cb + (pck->cb & 1);
    if (!IsPrintableFourcc(pck->fcc) || off + 8 + (LONGLONG)pck->cb > offEnd)
        return false;
    if (pck->fcc == FOURCC_LIST) {
        if (pck->cb < 4 || !ReadAt(hFile, off + 8, &adw[2], 4))
            return false;
        pck->fccList = adw[2];
        pck->offData += 4;
        pck->cb -= 4;
    }
    return true;
}

int GetChunkStream(DWORD fcc)
{
    int nStream = 0;
    for (int i = 0; i < 2; i++) {
        BYTE b = (BYTE)(fcc >> (8 * i));
        int nDigit = b >= '0' && b <= '9' ? b - '0' : b >= 'A' && b <= 'F' ? b - 'A' + 10 : -1;
        if (nDigit < 0)
            return -1;
        nStream = nStream * 16 + nDigit;
    }
    return nStream;
}
