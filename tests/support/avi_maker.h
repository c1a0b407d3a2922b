// Test media made with the platform's own AVI writer, for the cases a test needs a real stream.
#pragma once

#include <windows.h>
#include <vfw.h>

#include <string>

struct AviSpec {
    LONG cx = 32, cy = 24;     // frame size
    LONG cFrames = 10;         // number of video frames
    DWORD dwRate = 25;         // frames per second
    bool fOwnFrameRect = false; // the stream header's frame rectangle is rcFrame, not the frame size
    RECT rcFrame = {};
};

// Writes an uncompressed 24-bit AVI whose frame n is filled with the grey level n * 16 (mod 256).
bool MakeAviFile(const std::string &strPath, const AviSpec &spec);
// Writes an AVI file whose only stream is a text stream: neither video nor sound.
bool MakeTextOnlyAviFile(const std::string &strPath);
// Opens the first video stream of a file for reading; null on failure. The caller releases it.
PAVISTREAM OpenVideoStream(const std::string &strPath);
