// The view's paint read back pixel by pixel: the decoded frame upright, the figure over it wherever it is not 0xFFFFFF
// (near-whites cover), nothing past the canvas; dark grey, no figure, at or past the video's end or with no decoder.
#include "app/app_state.h"
#include "canvas/view_window.h"
#include "support/harness.h"

using CompositionTest = ProgramTest;

// Raw frames bottom-up and top-down, the platform's decoders and one it lacks, sound outlasting the video.
TEST_F(CompositionTest, FigureIsLaidOverTheFrameWhereItIsNotWhite)
{
    EXPECT_TRUE(SamePixels(DrawOnSurface(32, 32, 0x123456, PaintView), Pixels(32 * 32, 0x123456))) << "without a file";
    static const DWORD adwColors[] = {0xFFFFFF, 0xFEFEFE, 0xFFFFFE, 0xFEFFFF, 0xFFFEFF, 0x000000,
                                      0xFFFFFF, 0x010101, 0xC81E1E, 0x2050D0, 0xFFFFFF};
    const std::string strBottomUp = "-vf vflip -flipped_raw_rgb 1 -c:v rawvideo -pix_fmt bgr24 ";
    // The arguments, and whether the platform decodes what they make.
    const std::pair<std::string, bool> aCodecs[] = {
        {strBottomUp, true},
        {"-c:v rawvideo -pix_fmt bgr24", true},
        {"-c:v cinepak", true},
        {"-c:v msvideo1", true},
        {"-c:v mjpeg", false},
        {"-f lavfi -i sine=sample_rate=22050:duration=4 " + strBottomUp + "-c:a pcm_s16le", true}};
    for (const auto &c : aCodecs) {
        const auto &[strCodec, fDecodes] = c;
        SCOPED_TRACE(strCodec);
        std::string strPath = MakeMedia("video" + std::to_string(&c - aCodecs) + ".avi",
                                        "-f lavfi -i testsrc=size=96x64:rate=10:duration=2 " + strCodec);
        OpenFile(strPath);
        std::vector<Pixels> frames = DecodeWithFfmpeg(strPath, 96, 64);
        Pixels figure(cxCanvas * cyCanvas);
        for (size_t i = 0; i < figure.size(); i++)
            figure[i] = adwColors[(i % cxCanvas / 3 + i / cxCanvas / 2) % std::size(adwColors)];
        BITMAPINFO bmi = {{sizeof(BITMAPINFOHEADER), cxCanvas, -cyCanvas, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
        SetDIBitsToDevice(hdcFigure, 0, 0, cxCanvas, cyCanvas, 0, 0, 0, cyCanvas, figure.data(), &bmi, DIB_RGB_COLORS);
        for (LONG lTime : {1L, lVideoEndTime - 1, lVideoEndTime, lEndTime - 1}) {
            lCurTime = lTime;
            bool fShown = fDecodes && lTime < lVideoEndTime;
            Pixels canvas = fShown ? Overlay(frames.at(lTime / 100), figure) : Pixels(figure.size(), 0x404040);
            canvas.resize(cxCanvas * (cyCanvas + 8), 0x123456); // the surface is 8 rows taller
            // ffmpeg's Cinepak decoder rounds some values one off the platform's: only there may a channel be off.
            int nTolerance = strCodec == "-c:v cinepak";
            EXPECT_TRUE(SamePixels(DrawOnSurface(cxCanvas, cyCanvas + 8, 0x123456, PaintView), canvas, nTolerance))
                << lTime;
        }
    }
}
