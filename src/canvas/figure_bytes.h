// The figure as bytes, laid over frames that are bytes: a 24-bit bottom-up frame of the canvas's size gets the
// figure without a trip through the surfaces, and comes out as the surfaces' composition makes it.
#pragma once

#include <windows.h>

#include <vector>

struct FigureBytes {
    std::vector<BYTE> bits;                     // the figure in the frames' format
    std::vector<std::pair<DWORD, DWORD>> spans; // offset and length of each run of bytes whose pixels are not white
};

// Reads the figure in the format of pbih (24 bits, bottom-up, the canvas's size). FALSE when it could not be read.
BOOL ReadFigureBytes(const BITMAPINFOHEADER *pbih, FigureBytes *pfigure);
// Lays the figure over a frame in the same format: each pixel the figure colours takes the figure's colour.
void LayFigureOverBytes(const FigureBytes &figure, BYTE *pbFrame);
