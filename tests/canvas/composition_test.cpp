// The view's paint read back pixel by pixel: the frame as the platform decodes it, upright, with the figure over it
// wherever the figure is not white, and nothing past the canvas; dark grey and no figure where no frame shows.
#include "support/harness.h"

#include "app/app_state.h"

#include <algorithm>

// Lays a figure of mixed colours into hdcFigure, where only 0xFFFFFF lets the frame through and the near-whites do
// not, and compares the paint, on a surface 8 pixels larger, with the frame (or dark grey) under it.
static ::testing::AssertionResult PaintsOver(const Pixels *pFrame)
{
    static const DWORD adwColors[] = {0xFFFFFF, 0xFEFEFE, 0xFFFFFE, 0xFEFFFF, 0xFFFEFF, 0x000000,
                                      0xFFFFFF, 0x010101, 0xC81E1E, 0x2050D0, 0xFFFFFF};
    Pixels figure(cxCanvas * cyCanvas), expected((cxCanvas + 8) * (cyCanvas + 8), 0x123456);
    for (size_t i = 0; i < figure.size(); i++)
        figure[i] = adwColors[(i % cxCanvas / 3 + i / cxCanvas / 2) % std::size(adwColors)];
    BITMAPINFO bmi = {{sizeof(BITMAPINFOHEADER), cxCanvas, -cyCanvas, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    SetDIBitsToDevice(hdcFigure, 0, 0, cxCanvas, cyCanvas, 0, 0, 0, cyCanvas, figure.data(), &bmi, DIB_RGB_COLORS);
    Pixels canvas = pFrame ? Overlay(*pFrame, figure) : Pixels(figure.size(), 0x404040);
    for (int y = 0; y < cyCanvas; y++)
        std::copy_n(canvas.begin() + y * cxCanvas, cxCanvas, expected.begin() + y * (cxCanvas + 8));
    return SamePixels(PaintCanvas(cxCanvas + 8, cyCanvas + 8, 0x123456), expected);
}

using CompositionTest = ProgramTest;

// The last frame shows up to the end of the video; at its end and past it (where the sound lasts longer), or with no
// decoder, the canvas is dark grey. Every file runs at 10 frames a second.
TEST_F(CompositionTest, FigureIsLaidOverTheFrameWhereItIsNotWhite)
{
    EXPECT_TRUE(SamePixels(PaintCanvas(32, 32, 0x123456), Pixels(32 * 32, 0x123456))) << "with no file open";
    const std::string strPattern = "-f lavfi -i testsrc=size=96x64:rate=10:duration=2 ", strFlip = "-vf vflip ";
    const std::string aArguments[] = {
        strPattern + strFlip + "-flipped_raw_rgb 1 -c:v rawvideo -pix_fmt bgr24", // bottom-up
        strPattern + "-c:v rawvideo -pix_fmt bgr24",                              // top-down
        strPattern + "-c:v cinepak",
        strPattern + "-c:v msvideo1",
        strPattern + "-c:v mjpeg", // no decoder here
        strPattern + "-f lavfi -i sine=sample_rate=22050:duration=4 " + strFlip +
            "-flipped_raw_rgb 1 -c:v rawvideo -pix_fmt bgr24 -c:a pcm_s16le",
    };
    for (const std::string &strArguments : aArguments) {
        SCOPED_TRACE(strArguments);
        std::string strPath = MakeMedia("video" + std::to_string(&strArguments - aArguments) + ".avi", strArguments);
        OpenFile(strPath);
        std::vector<Pixels> frames = DecodeFrames(strPath);
        for (LONG lTime : {1L, lVideoEndTime - 1, lVideoEndTime, lEndTime - 1}) {
            lCurTime = lTime;
            bool fShown = lTime < lVideoEndTime && lTime / 100 < (LONG)frames.size() && !frames[lTime / 100].empty();
            EXPECT_TRUE(PaintsOver(fShown ? &frames[lTime / 100] : nullptr)) << "at " << lTime;
        }
    }
}
