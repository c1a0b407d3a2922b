#include "document/size_limits.h"

#include "app/avi_streams.h"
#include "app/message_box.h"
#include "resources/resource.h"

// The largest offset a plain AVI file can hold.
static const ULONGLONG AVI_FILE_LIMIT = 0x7FFFFFFF;
// The file's own headers, padded as the library pads them, and more.
static const ULONGLONG HEADER_BYTES = 64 * 1024ull;
// Each chunk: its header, a padding byte at most and its index entry. Sound goes in chunks of at least this size.
static const ULONGLONG CHUNK_OVERHEAD = 8 + 1 + 16;
static const ULONGLONG SOUND_CHUNK_BYTES = 4096;

ULONGLONG GetWrittenStreamBytes(LONG cSamples, ULONGLONG cbSample)
{
    return cSamples > 0 ? (ULONGLONG)cSamples * (cbSample + CHUNK_OVERHEAD) : 0;
}

// An uncompressed frame's bytes: rows of whole DWORDs.
static ULONGLONG GetDibBytes(const BITMAPINFOHEADER *pbih)
{
    ULONGLONG cbRow = ((ULONGLONG)(DWORD)abs(pbih->biWidth) * pbih->biBitCount + 31) / 32 * 4;
    return cbRow * (DWORD)abs(pbih->biHeight);
}

ULONGLONG GetWrittenStreamBytes(PAVISTREAM pavis, LONG cSamples)
{
    AVISTREAMINFOA si = {};
    std::vector<BYTE> format;
    if (AVIStreamInfoA(pavis, &si, sizeof si) != 0 || !ReadStreamFormat(pavis, &format))
        return 0;
    if (si.fccType == streamtypeVIDEO && format.size() >= sizeof(BITMAPINFOHEADER)) {
        const BITMAPINFOHEADER *pbih = (const BITMAPINFOHEADER *)format.data();
        ULONGLONG cbFrame = pbih->biCompression == BI_RGB ? GetDibBytes(pbih) : pbih->biSizeImage;
        return GetWrittenStreamBytes(cSamples, cbFrame);
    }
    if (si.fccType == streamtypeAUDIO && format.size() >= sizeof(PCMWAVEFORMAT)) {
        ULONGLONG cbSound = (ULONGLONG)(cSamples > 0 ? cSamples : 0) * ((const WAVEFORMAT *)format.data())->nBlockAlign;
        return cbSound + (cbSound / SOUND_CHUNK_BYTES + 1) * CHUNK_OVERHEAD;
    }
    return 0;
}

ULONGLONG GetWrittenFileBytes(ULONGLONG cbStreams)
{
    return HEADER_BYTES + cbStreams;
}

static void GetFolderOf(const char *pszPath, char *pszFolder)
{
    char *pszName = NULL;
    DWORD cch = GetFullPathNameA(pszPath, MAX_PATH, pszFolder, &pszName);
    if (cch == 0 || cch >= MAX_PATH)
        lstrcpynA(pszFolder, pszPath, MAX_PATH);
    else if (pszName)
        *pszName = '\0';
}

SizeVerdict CheckRoomFor(const char *pszPath, ULONGLONG cbFile, ULONGLONG cbAlso)
{
    if (cbFile > AVI_FILE_LIMIT)
        return SIZE_TOO_LARGE;
    char szFolder[MAX_PATH];
    GetFolderOf(pszPath, szFolder);
    // A folder whose free space cannot be had is left to the write to find out.
    ULARGE_INTEGER cbFree;
    if (GetDiskFreeSpaceExA(szFolder, &cbFree, NULL, NULL) && cbFree.QuadPart < cbFile + cbAlso)
        return SIZE_NO_ROOM;
    return SIZE_FITS;
}

BOOL IsSameVolume(const char *pszPath1, const char *pszPath2)
{
    char szVolume1[MAX_PATH], szVolume2[MAX_PATH];
    return GetVolumePathNameA(pszPath1, szVolume1, sizeof szVolume1) &&
           GetVolumePathNameA(pszPath2, szVolume2, sizeof szVolume2) && lstrcmpiA(szVolume1, szVolume2) == 0;
}

void ShowSizeRefusal(SizeVerdict verdict, const char *pszFile, const char *pszWritten)
{
    if (verdict == SIZE_FITS)
        return;
    char szFolder[MAX_PATH];
    GetFolderOf(pszWritten, szFolder);
    if (verdict == SIZE_TOO_LARGE)
        ShowFormattedMessage(IDS_TOO_LARGE, MB_OK | MB_ICONEXCLAMATION, pszFile);
    else
        ShowFormattedMessage(IDS_NO_ROOM, MB_OK | MB_ICONEXCLAMATION, szFolder);
}
