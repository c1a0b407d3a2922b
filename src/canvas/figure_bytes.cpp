// White is transparent: the runs of pixels that are not pure white are found once per save, and each frame gets
// them copied in. Frames of other formats, or surfaces that round colours off, go through the surfaces instead.
#include "canvas/figure_bytes.h"

#include "canvas/canvas_surfaces.h"

#include <cstring>

static BOOL IsWhitePixel(const BYTE *pb)
{
    return pb[0] == 0xFF && pb[1] == 0xFF && pb[2] == 0xFF;
}

static void FindColouredSpans(const BITMAPINFOHEADER *pbih, FigureBytes *pfigure)
{
    size_t cx = (size_t)pbih->biWidth, cy = (size_t)pbih->biHeight, cbStride = (cx * 3 + 3) & ~(size_t)3;
    pfigure->spans.clear();
    for (size_t y = 0; y < cy; y++) {
        const BYTE *pbRow = pfigure->bits.data() + y * cbStride;
        for (size_t x = 0; x < cx;) {
            if (IsWhitePixel(pbRow + 3 * x)) {
                x++;
                continue;
            }
            size_t xEnd = x + 1;
            while (xEnd < cx && !IsWhitePixel(pbRow + 3 * xEnd))
                xEnd++;
            pfigure->spans.push_back({(DWORD)(y * cbStride + 3 * x), (DWORD)(3 * (xEnd - x))});
            x = xEnd;
        }
    }
}

BOOL ReadFigureBytes(const BITMAPINFOHEADER *pbih, FigureBytes *pfigure)
{
    pfigure->bits.assign(pbih->biSizeImage, 0);
    if (!ReadFigurePixels(pfigure->bits.data(), pbih))
        return FALSE;
    FindColouredSpans(pbih, pfigure);
    return TRUE;
}

void LayFigureOverBytes(const FigureBytes &figure, BYTE *pbFrame)
{
    for (const auto &[offSpan, cbSpan] : figure.spans)
        memcpy(pbFrame + offSpan, figure.bits.data() + offSpan, cbSpan);
}
