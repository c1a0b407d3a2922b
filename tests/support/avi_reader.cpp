#include "support/avi_reader.h"

#include <algorithm>

static PAVISTREAM OpenStream(const std::string &strPath, DWORD fccType)
{
    PAVISTREAM pavis = NULL;
    if (AVIStreamOpenFromFileA(&pavis, strPath.c_str(), fccType, 0, OF_READ, NULL) != 0)
        return NULL;
    return pavis;
}

StreamFacts ReadStreamFacts(const std::string &strPath, DWORD fccType)
{
    StreamFacts facts;
    PAVISTREAM pavis = OpenStream(strPath, fccType);
    if (!pavis)
        return facts;
    facts.fPresent = true;
    AVIStreamInfoA(pavis, &facts.si, sizeof facts.si);
    facts.lStart = AVIStreamStart(pavis);
    facts.lLength = AVIStreamLength(pavis);
    facts.lStartTime = AVIStreamSampleToTime(pavis, facts.lStart);
    facts.lEndTime = AVIStreamSampleToTime(pavis, facts.lStart + facts.lLength);
    LONG cbFormat = 0;
    AVIStreamReadFormat(pavis, facts.lStart, NULL, &cbFormat);
    facts.format.resize(cbFormat);
    AVIStreamReadFormat(pavis, facts.lStart, facts.format.data(), &cbFormat);
    AVIStreamRelease(pavis);
    return facts;
}

// The pixels of a packed DIB as 32-bit BGRX rows from the top, whatever its depth and row order.
static std::vector<BYTE> NormalisePixels(const BITMAPINFOHEADER *pbih)
{
    LONG cx = pbih->biWidth, cy = labs(pbih->biHeight);
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = -cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void *pvBits = NULL;
    HBITMAP hbm = CreateDIBSection(NULL, &bmi, DIB_RGB_COLORS, &pvBits, NULL, 0);
    HDC hdc = CreateCompatibleDC(NULL);
    HGDIOBJ hbmOld = SelectObject(hdc, hbm);
    DWORD cColors = pbih->biClrUsed ? pbih->biClrUsed : (pbih->biBitCount <= 8 ? 1u << pbih->biBitCount : 0);
    if (pbih->biCompression == BI_BITFIELDS)
        cColors = 3;
    const BYTE *pbBits = (const BYTE *)pbih + pbih->biSize + cColors * sizeof(RGBQUAD);
    StretchDIBits(hdc, 0, 0, cx, cy, 0, 0, cx, cy, pbBits, (const BITMAPINFO *)pbih, DIB_RGB_COLORS, SRCCOPY);
    GdiFlush();
    std::vector<BYTE> pixels((const BYTE *)pvBits, (const BYTE *)pvBits + cx * cy * 4);
    for (size_t i = 3; i < pixels.size(); i += 4)
        pixels[i] = 0;
    SelectObject(hdc, hbmOld);
    DeleteDC(hdc);
    DeleteObject(hbm);
    return pixels;
}

std::vector<std::vector<BYTE>> DecodeFrames(const std::string &strPath)
{
    std::vector<std::vector<BYTE>> frames;
    PAVISTREAM pavis = OpenStream(strPath, streamtypeVIDEO);
    if (!pavis)
        return frames;
    PGETFRAME pgf = AVIStreamGetFrameOpen(pavis, (LPBITMAPINFOHEADER)AVIGETFRAMEF_BESTDISPLAYFMT);
    LONG lEnd = AVIStreamStart(pavis) + AVIStreamLength(pavis);
    for (LONG n = AVIStreamStart(pavis); pgf && n < lEnd; n++) {
        const BITMAPINFOHEADER *pbih = (const BITMAPINFOHEADER *)AVIStreamGetFrame(pgf, n);
        frames.push_back(pbih ? NormalisePixels(pbih) : std::vector<BYTE>());
    }
    if (pgf)
        AVIStreamGetFrameClose(pgf);
    AVIStreamRelease(pavis);
    return frames;
}

std::vector<BYTE> ReadAudioBytes(const std::string &strPath, LONG *pcSamples)
{
    std::vector<BYTE> bytes;
    LONG cSamples = 0;
    PAVISTREAM pavis = OpenStream(strPath, streamtypeAUDIO);
    if (pavis) {
        LONG lEnd = AVIStreamStart(pavis) + AVIStreamLength(pavis);
        std::vector<BYTE> buffer(1 << 16);
        for (LONG lPos = AVIStreamStart(pavis); lPos < lEnd;) {
            // Only as many samples as the buffer holds: more is an error of the library.
            LONG cbSample = 0, cb = 0, c = 0;
            AVIStreamRead(pavis, lPos, 1, NULL, 0, &cbSample, NULL);
            LONG cWanted = std::min(lEnd - lPos, (LONG)buffer.size() / std::max(cbSample, 1L));
            if (AVIStreamRead(pavis, lPos, cWanted, buffer.data(), (LONG)buffer.size(), &cb, &c) != 0 || c <= 0)
                break;
            bytes.insert(bytes.end(), buffer.begin(), buffer.begin() + cb);
            lPos += c;
            cSamples += c;
        }
        AVIStreamRelease(pavis);
    }
    if (pcSamples)
        *pcSamples = cSamples;
    return bytes;
}

int CountStreams(const std::string &strPath)
{
    PAVIFILE pfile;
    if (AVIFileOpenA(&pfile, strPath.c_str(), OF_READ, NULL) != 0)
        return -1;
    AVIFILEINFOA fi = {};
    AVIFileInfoA(pfile, &fi, sizeof fi);
    AVIFileRelease(pfile);
    return (int)fi.dwStreams;
}
