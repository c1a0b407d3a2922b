#include "support/avi_maker.h"

#include <vector>

bool MakeAviFile(const std::string &strPath, const AviSpec &spec)
{
    DeleteFileA(strPath.c_str());
    PAVIFILE pfile = NULL;
    if (AVIFileOpenA(&pfile, strPath.c_str(), OF_CREATE | OF_WRITE, NULL) != 0)
        return false;

    LONG cbRow = (spec.cx * 3 + 3) & ~3;
    AVISTREAMINFOA si = {};
    si.fccType = streamtypeVIDEO;
    si.fccHandler = mmioFOURCC('D', 'I', 'B', ' ');
    si.dwScale = 1;
    si.dwRate = spec.dwRate;
    si.dwSuggestedBufferSize = cbRow * spec.cy;
    SetRect(&si.rcFrame, 0, 0, spec.cx, spec.cy);
    if (spec.fOwnFrameRect)
        si.rcFrame = spec.rcFrame;
    PAVISTREAM pstream = NULL;
    bool fOk = AVIFileCreateStreamA(pfile, &pstream, &si) == 0;

    BITMAPINFOHEADER bih = {};
    bih.biSize = sizeof bih;
    bih.biWidth = spec.cx;
    bih.biHeight = spec.cy;
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    bih.biCompression = BI_RGB;
    bih.biSizeImage = cbRow * spec.cy;
    fOk = fOk && AVIStreamSetFormat(pstream, 0, &bih, sizeof bih) == 0;

    std::vector<BYTE> frame(bih.biSizeImage);
    for (LONG n = 0; fOk && n < spec.cFrames; n++) {
        std::fill(frame.begin(), frame.end(), (BYTE)(n * 16));
        fOk = AVIStreamWrite(pstream, n, 1, frame.data(), (LONG)frame.size(), AVIIF_KEYFRAME, NULL, NULL) == 0;
    }
    if (pstream)
        AVIStreamRelease(pstream);
    AVIFileRelease(pfile);
    return fOk;
}

bool MakeTextOnlyAviFile(const std::string &strPath)
{
    DeleteFileA(strPath.c_str());
    PAVIFILE pfile = NULL;
    if (AVIFileOpenA(&pfile, strPath.c_str(), OF_CREATE | OF_WRITE, NULL) != 0)
        return false;
    AVISTREAMINFOA si = {};
    si.fccType = streamtypeTEXT;
    si.dwScale = 1;
    si.dwRate = 1;
    PAVISTREAM pstream = NULL;
    static const char szFormat[] = "text";
    bool fOk = AVIFileCreateStreamA(pfile, &pstream, &si) == 0 &&
               AVIStreamSetFormat(pstream, 0, (void *)szFormat, sizeof szFormat) == 0;
    for (LONG n = 0; fOk && n < 3; n++)
        fOk = AVIStreamWrite(pstream, n, 1, (void *)"caption", 8, AVIIF_KEYFRAME, NULL, NULL) == 0;
    if (pstream)
        AVIStreamRelease(pstream);
    AVIFileRelease(pfile);
    return fOk;
}

PAVISTREAM OpenVideoStream(const std::string &strPath)
{
    PAVISTREAM pstream = NULL;
    if (AVIStreamOpenFromFileA(&pstream, strPath.c_str(), streamtypeVIDEO, 0, OF_READ, NULL) != 0)
        return NULL;
    return pstream;
}
