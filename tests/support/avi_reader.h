// Reading AVI files back through the platform's library, for comparing what the program wrote.
#pragma once

#include <windows.h>
#include <vfw.h>

#include <string>
#include <vector>

struct StreamFacts {
    bool fPresent = false;
    AVISTREAMINFOA si = {};
    std::vector<BYTE> format; // the stream's format block (BITMAPINFOHEADER or WAVEFORMATEX)
    LONG lStart = 0, lLength = 0;
    LONG lStartTime = 0, lEndTime = 0;
};

// The first stream of a type (streamtypeVIDEO, streamtypeAUDIO) of a file.
StreamFacts ReadStreamFacts(const std::string &strPath, DWORD fccType);
// Every frame of the first video stream as the platform decodes it for the display, as 32-bit pixels
// from the top row down; an empty entry for a frame that does not decode.
std::vector<std::vector<BYTE>> DecodeFrames(const std::string &strPath);
// Every byte of the first audio stream, read sample by sample range; *pcSamples gets the samples read.
std::vector<BYTE> ReadAudioBytes(const std::string &strPath, LONG *pcSamples = nullptr);
// The number of streams of a file; -1 when it cannot be opened.
int CountStreams(const std::string &strPath);
