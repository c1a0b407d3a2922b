// The paint of the view read back pixel by pixel: the frame as the platform decodes it, upright, with
// the figure over it where the figure is not white; dark grey and no figure where there is no frame.
#include "canvas/canvas_test.h"

#include "app/app_state.h"
#include "canvas/view_window.h"
#include "document/file_commands.h"
#include "support/avi_reader.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

namespace {

const int cMargin = 8; // the paint surface reaches past the canvas, to show that nothing is painted there
const COLORREF crUnpainted = RGB(0x12, 0x34, 0x56);
const std::string strPattern = "-f lavfi -i testsrc=size=96x64:rate=10 -frames:v 5 ";
const std::string strTwoSeconds = "-f lavfi -i testsrc=size=96x64:rate=10:duration=2 ";
const std::string strLongerSound = "-f lavfi -i sine=sample_rate=22050:duration=4 ";
const std::string strRawWithSound = "-c:v rawvideo -pix_fmt bgr24 -c:a pcm_s16le";

class CompositionTest : public DocumentTest {
protected:
    std::string OpenMedia(const char *pszName, const std::string &strArguments)
    {
        std::string strPath = MakeMedia(pszName, strArguments);
        EXPECT_TRUE(OpenFilePath(strPath.c_str()));
        return strPath;
    }

    // Near-white colours are not white: only 0xFFFFFF lets the frame through.
    static Pixels MakeMixedFigure()
    {
        static const DWORD adwColors[] = {0xFFFFFF, 0xFEFEFE, 0xFFFFFE, 0xFEFFFF, 0xFFFEFF, 0x000000,
                                          0xFFFFFF, 0x010101, 0xC81E1E, 0x2050D0, 0xFFFFFF};
        Pixels figure(cxCanvas * cyCanvas);
        for (size_t i = 0; i < figure.size(); i++)
            figure[i] = adwColors[(i % cxCanvas / 3 + i / cxCanvas / 2) % std::size(adwColors)];
        return figure;
    }

    static void LayFigure(const Pixels &figure)
    {
        BITMAPINFO bmi = TopDownInfo(cxCanvas, cyCanvas);
        StretchDIBits(hdcFigure, 0, 0, cxCanvas, cyCanvas, 0, 0, cxCanvas, cyCanvas, figure.data(), &bmi,
                      DIB_RGB_COLORS, SRCCOPY);
    }

    // The view paints these canvas pixels and nothing past the canvas.
    static ::testing::AssertionResult PaintsAs(const Pixels &canvas)
    {
        int cx = cxCanvas + cMargin;
        Pixels expected(cx * (cyCanvas + cMargin), DibColor(crUnpainted));
        for (int y = 0; y < cyCanvas; y++)
            std::copy_n(canvas.begin() + y * cxCanvas, cxCanvas, expected.begin() + y * cx);
        return SamePixels(PaintCanvas(cx, cyCanvas + cMargin, crUnpainted), expected, cx);
    }
};

Pixels ToPixels(const std::vector<BYTE> &frame)
{
    Pixels pixels(frame.size() / 4);
    std::memcpy(pixels.data(), frame.data(), frame.size());
    return pixels;
}

TEST_F(CompositionTest, FigureIsLaidOverTheFrameWhereItIsNotWhite)
{
    struct Case {
        const char *pszName;
        std::string strArguments;
        bool fTopDown;   // the document's frames are stored from the top row down
        LONG lLastFrame; // a top-down file reads every frame as its first through the library
    } aCases[] = {
        {"bottom_up.avi", strPattern + "-vf vflip -flipped_raw_rgb 1 -c:v rawvideo -pix_fmt bgr24", false, 4},
        {"top_down.avi", strPattern + "-c:v rawvideo -pix_fmt bgr24", true, 0},
        {"cinepak.avi", strPattern + "-c:v cinepak", false, 4},
        {"video1.avi", strPattern + "-c:v msvideo1", false, 4},
    };
    for (const Case &c : aCases) {
        SCOPED_TRACE(c.pszName);
        std::vector<std::vector<BYTE>> frames = DecodeFrames(OpenMedia(c.pszName, c.strArguments));
        ASSERT_NE(pavisVideo, (PAVISTREAM)NULL);
        ASSERT_EQ(frames.size(), 5u);
        BITMAPINFOHEADER bih = {};
        LONG cbFormat = sizeof bih;
        AVIStreamReadFormat(pavisVideo, 0, &bih, &cbFormat);
        EXPECT_EQ(bih.biHeight < 0, c.fTopDown);
        for (LONG lFrame : {0L, c.lLastFrame}) {
            SCOPED_TRACE(lFrame);
            Pixels frame = ToPixels(frames[lFrame]), figure = MakeMixedFigure();
            lCurTime = AVIStreamSampleToTime(pavisVideo, lFrame) + 1;
            LayFigure(figure);
            EXPECT_TRUE(PaintsAs(Overlay(frame, figure)));
            EXPECT_EQ(lCurFrame, lFrame);

            ClearFigure();
            EXPECT_TRUE(PaintsAs(frame)) << "under a white figure";
        }
    }
}

// Up to the end of a video that decodes, its last frame shows; past it, or with no decoder, the canvas is
// dark grey.
TEST_F(CompositionTest, WithoutAFrameTheCanvasIsDarkGreyWithoutTheFigure)
{
    struct Case {
        const char *pszName;
        std::string strArguments;
        std::vector<LONG> positions; // from the end of the video
    } aCases[] = {
        {"no_decoder.avi", strTwoSeconds + "-c:v mjpeg", {-1000, -1}},
        {"long_sound.avi",
         strTwoSeconds + strLongerSound + "-vf vflip -flipped_raw_rgb 1 " + strRawWithSound,
         {-1, 0, 1, 1000, 1900}},
    };
    for (const Case &c : aCases) {
        SCOPED_TRACE(c.pszName);
        std::vector<std::vector<BYTE>> frames = DecodeFrames(OpenMedia(c.pszName, c.strArguments));
        ASSERT_NE(pavisVideo, (PAVISTREAM)NULL);
        for (LONG lPosition : c.positions) {
            SCOPED_TRACE(lPosition);
            lCurTime = lVideoEndTime + lPosition;
            ASSERT_LT(lCurTime, lEndTime);
            Pixels figure = MakeMixedFigure();
            LayFigure(figure);
            bool fLastFrame = !frames.empty() && lPosition < 0;
            Pixels expected = fLastFrame ? Overlay(ToPixels(frames.back()), figure) : Pixels(figure.size(), 0x404040);
            EXPECT_TRUE(PaintsAs(expected));
            EXPECT_EQ(lCurFrame >= lFrameCount, lPosition >= 0) << "frames count on past the video";
        }
    }
}

TEST_F(CompositionTest, WithNoFileOpenNothingIsPainted)
{
    EXPECT_TRUE(SamePixels(PaintCanvas(32, 32, crUnpainted), Pixels(32 * 32, DibColor(crUnpainted)), 32));
}

} // namespace
