// AVI files made and read through the platform's own AVI library, for the cases ffmpeg cannot make and for
// reading back what the program wrote.
#pragma once

#include <windows.h>
#include <vfw.h>

#include <string>
#include <vector>

struct AviSpec {
    LONG cx = 32, cy = 24;     // frame size
    LONG cFrames = 10;         // video frames, frame n filled with the grey level n * 16
    DWORD dwRate = 25, dwScale = 1; // frame rate
    LONG nEmptyFrame = -1;     // a frame written with no bytes at all
    std::vector<BYTE> audioFormat; // a WAVEFORMATEX and its extra bytes; empty for no sound
    LONG cBlocksPerWrite = 0;  // sound written after each of the first cWrites frames, at the stream's end
    LONG cWrites = 0;
    bool fRecords = false;     // written in records: 'rec ' lists and an interleaved index
};

// A WAVEFORMATEX of PCM or IMA ADPCM (wBitsPerSample 4) with its extra bytes.
std::vector<BYTE> MakeWaveFormat(WORD wFormatTag, WORD nChannels, DWORD nSamplesPerSec, WORD nBlockAlign);
// Writes the file; *pSound receives the sound bytes written, which follow a pattern of their own.
bool MakeAviFile(const std::string &strPath, const AviSpec &spec, std::vector<BYTE> *pSound = nullptr);

struct StreamFacts {
    bool fPresent = false;
    AVISTREAMINFOA si = {};
    std::vector<BYTE> format;
    LONG lStart = 0, lLength = 0, lEndTime = 0;
    std::vector<BYTE> data; // every sample's bytes, read in order
};
// The first stream of a type (streamtypeVIDEO, streamtypeAUDIO) of a file.
StreamFacts ReadStreamFacts(const std::string &strPath, DWORD fccType);
// Every frame of the first video stream as the platform decodes it for the display, as 32-bit pixels from
// the top row down; an empty entry for a frame that does not decode.
std::vector<std::vector<DWORD>> DecodeFrames(const std::string &strPath);
