#include "support/harness.h"

#include <mmreg.h>

#include <algorithm>

std::vector<BYTE> MakeWaveFormat(WORD wFormatTag, WORD nChannels, DWORD nSamplesPerSec, WORD nBlockAlign)
{
    IMAADPCMWAVEFORMAT wf = {};
    // Blocks larger than a sample frame of 16 bits a channel hold several.
    WORD wBitsPerSample = (WORD)std::min(16, 8 * nBlockAlign / nChannels);
    wf.wfx = {wFormatTag, nChannels, nSamplesPerSec, nSamplesPerSec * nBlockAlign, nBlockAlign, wBitsPerSample, 0};
    size_t cb = sizeof(WAVEFORMATEX);
    if (wFormatTag == WAVE_FORMAT_IMA_ADPCM) {
        wf.wfx.wBitsPerSample = 4;
        wf.wfx.cbSize = sizeof wf - sizeof wf.wfx;
        wf.wSamplesPerBlock = (WORD)((nBlockAlign - 4 * nChannels) * 2 / nChannels + 1);
        wf.wfx.nAvgBytesPerSec = nSamplesPerSec * nBlockAlign / wf.wSamplesPerBlock;
        cb = sizeof wf;
    }
    return std::vector<BYTE>((const BYTE *)&wf, (const BYTE *)&wf + cb);
}

bool MakeAviFile(const std::string &strPath, const AviSpec &spec, std::vector<BYTE> *pSound)
{
    DeleteFileA(strPath.c_str());
    PAVIFILE pfile = NULL;
    if (AVIFileOpenA(&pfile, strPath.c_str(), OF_CREATE | OF_WRITE, NULL) != 0)
        return false;
    DWORD cbFrame = ((spec.cx * 3 + 3) & ~3) * spec.cy;
    struct {
        BITMAPINFOHEADER bih;
        RGBQUAD aPalette[256];
    } format = {{sizeof(BITMAPINFOHEADER), spec.cx, spec.cy, 1, 24, BI_RGB, cbFrame, 0, 0, 0, 0}, {}};
    if (spec.fRle) {
        format.bih = {sizeof format.bih, spec.cx, spec.cy, 1, 8, BI_RLE8, 0, 0, 0, 256, 0};
        for (int i = 0; i < 256; i++)
            format.aPalette[i] = {(BYTE)i, (BYTE)i, (BYTE)i, 0};
    }
    AVISTREAMINFOA siVideo = {};
    siVideo.fccType = streamtypeVIDEO;
    siVideo.fccHandler = spec.fRle ? mmioFOURCC('M', 'R', 'L', 'E') : mmioFOURCC('D', 'I', 'B', ' ');
    siVideo.dwScale = spec.dwScale;
    siVideo.dwRate = spec.dwRate;
    SetRect(&siVideo.rcFrame, 0, 0, spec.cx, spec.cy);
    PAVISTREAM pavisVideo = NULL, pavisAudio = NULL;
    bool fOk = AVIFileCreateStreamA(pfile, &pavisVideo, &siVideo) == 0 &&
               AVIStreamSetFormat(pavisVideo, 0, &format, spec.fRle ? sizeof format : sizeof format.bih) == 0;
    const WAVEFORMATEX *pwf = (const WAVEFORMATEX *)spec.audioFormat.data();
    if (fOk && !spec.audioFormat.empty()) {
        AVISTREAMINFOA siAudio = {};
        siAudio.fccType = streamtypeAUDIO;
        siAudio.dwScale = siAudio.dwSampleSize = pwf->nBlockAlign;
        siAudio.dwRate = pwf->nAvgBytesPerSec;
        fOk = AVIFileCreateStreamA(pfile, &pavisAudio, &siAudio) == 0 &&
              AVIStreamSetFormat(pavisAudio, 0, (void *)pwf, (LONG)spec.audioFormat.size()) == 0;
    }
    std::vector<BYTE> frame, block;
    for (LONG n = 0; fOk && n < spec.cFrames; n++) {
        if (spec.fRecords)
            fOk = AVIFileEndRecord(pfile) == 0;
        frame.assign(spec.fRle ? 0 : cbFrame, (BYTE)(n * 16));
        // RLE: a run a row, each row ended by 0 0 but the last, ended by 0 1, the end of the picture.
        for (LONG y = 0; spec.fRle && y < spec.cy; y++)
            frame.insert(frame.end(), {(BYTE)spec.cx, (BYTE)(n * 16), 0, (BYTE)(y == spec.cy - 1)});
        fOk =
            fOk && AVIStreamWrite(pavisVideo, n, 1, frame.data(), (LONG)frame.size(), AVIIF_KEYFRAME, NULL, NULL) == 0;
        if (fOk && pavisAudio && n < spec.cWrites) {
            block.resize(spec.cBlocksPerWrite * pwf->nBlockAlign);
            for (size_t i = 0; i < block.size(); i++)
                block[i] = (BYTE)(n * 37 + i * 7 + i / 251);
            fOk =
                AVIStreamWrite(pavisAudio, AVIStreamStart(pavisAudio) + AVIStreamLength(pavisAudio),
                               spec.cBlocksPerWrite, block.data(), (LONG)block.size(), AVIIF_KEYFRAME, NULL, NULL) == 0;
            if (pSound)
                pSound->insert(pSound->end(), block.begin(), block.end());
        }
    }
    // Wine's writer asserts on saving unless the last record is followed by an empty one.
    if (fOk && spec.fRecords)
        fOk = AVIFileEndRecord(pfile) == 0 && AVIFileEndRecord(pfile) == 0;
    for (PAVISTREAM pavis : {pavisAudio, pavisVideo})
        if (pavis)
            AVIStreamRelease(pavis);
    AVIFileRelease(pfile);
    return fOk;
}

StreamFacts ReadStreamFacts(const std::string &strPath, DWORD fccType)
{
    StreamFacts facts;
    PAVISTREAM pavis = NULL;
    if (AVIStreamOpenFromFileA(&pavis, strPath.c_str(), fccType, 0, OF_READ, NULL) != 0)
        return facts;
    facts.fPresent = true;
    AVIStreamInfoA(pavis, &facts.si, sizeof facts.si);
    facts.lLength = AVIStreamLength(pavis);
    const LONG lStart = AVIStreamStart(pavis), lEnd = lStart + facts.lLength;
    LONG cbFormat = 0;
    AVIStreamReadFormat(pavis, lStart, NULL, &cbFormat);
    facts.format.resize(cbFormat);
    AVIStreamReadFormat(pavis, lStart, facts.format.data(), &cbFormat);
    std::vector<BYTE> buffer(1 << 20);
    // Only as many samples as the buffer holds: more is an error of the library on Wine. A stream of samples of no
    // fixed size is read one sample a call.
    LONG cPerRead = (LONG)buffer.size() / (LONG)std::max(facts.si.dwSampleSize, 1UL);
    for (LONG lPos = lStart, cb = 0, c = 0; lPos < lEnd; lPos += c) {
        LONG cWanted = std::min(lEnd - lPos, cPerRead);
        if (AVIStreamRead(pavis, lPos, cWanted, buffer.data(), (LONG)buffer.size(), &cb, &c) != 0 || c <= 0)
            break;
        facts.data.insert(facts.data.end(), buffer.begin(), buffer.begin() + cb);
    }
    AVIStreamRelease(pavis);
    return facts;
}
