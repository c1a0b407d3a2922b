// Undo, cut, copy and paste on the figure drawn with the tools: what each leaves in the figure, on the
// clipboard, in the undo state and in the modified mark of the title.
#include "canvas/canvas_test.h"

#include "app/app_state.h"
#include "app/title.h"
#include "document/file_commands.h"
#include "resources/resource.h"

#include <string>

namespace {

const Stroke shapeLeft = {TOOL_FILLRECT, RGB(200, 30, 30), 2, {{10, 10}, {60, 70}}};
const Stroke shapeRight = {TOOL_FILLELLIPSE, RGB(20, 40, 210), 1, {{80, 20}, {150, 110}}};

class FigureCommandsTest : public CanvasTest {
protected:
    // Every test process on this desktop shares one clipboard: their clipboard tests take turns.
    void SetUp() override
    {
        hmutexClipboard = CreateMutexA(NULL, FALSE, "PeltoTestsClipboard");
        WaitForSingleObject(hmutexClipboard, 60000);
        CanvasTest::SetUp();
    }
    void TearDown() override
    {
        CanvasTest::TearDown();
        ReleaseMutex(hmutexClipboard);
        CloseHandle(hmutexClipboard);
    }
    HANDLE hmutexClipboard = NULL;

    static Pixels ReadClipboardBitmap()
    {
        OpenClipboard(hwndMain);
        HBITMAP hbm = (HBITMAP)GetClipboardData(CF_BITMAP);
        BITMAP bm = {};
        GetObjectA(hbm, sizeof bm, &bm);
        Pixels pixels(bm.bmWidth * bm.bmHeight);
        BITMAPINFO bmi = TopDownInfo(bm.bmWidth, bm.bmHeight);
        GetDIBits(hdcFigure, hbm, 0, bm.bmHeight, pixels.data(), &bmi, DIB_RGB_COLORS);
        CloseClipboard();
        for (DWORD &dw : pixels)
            dw &= 0xFFFFFF;
        return pixels;
    }

    static void PutBitmapOnClipboard(int cx, int cy, const Pixels &pixels)
    {
        BITMAPINFO bmi = TopDownInfo(cx, cy);
        HBITMAP hbm = CreateCompatibleBitmap(hdcFigure, cx, cy);
        SetDIBits(hdcFigure, hbm, 0, cy, pixels.data(), &bmi, DIB_RGB_COLORS);
        OpenClipboard(hwndMain);
        EmptyClipboard();
        SetClipboardData(CF_BITMAP, hbm);
        CloseClipboard();
    }

    // As after a save: the figure is unchanged since.
    static void MarkSaved()
    {
        fModified = 0;
        UpdateTitle();
    }
};

TEST_F(FigureCommandsTest, UndoGivesBackTheFigureAsBeforeThePressOnce)
{
    const std::vector<POINT> path = {{30, 100}, {70, 40}, {140, 60}};
    for (int nTool = TOOL_PEN; nTool <= TOOL_ERASER; nTool++) {
        SCOPED_TRACE(nTool);
        ClearFigure();
        Drag(shapeLeft);
        Drag(shapeRight);
        Pixels before = ReadFigure();
        Drag({nTool, RGB(0, 0, 0), 3, path});
        ASSERT_FALSE(SamePixels(ReadFigure(), before, cxCanvas)) << "the drag changed nothing";
        ASSERT_TRUE(IsUndoAvailable());

        Command(IDM_EDIT_UNDO);
        EXPECT_TRUE(SamePixels(ReadFigure(), before, cxCanvas));
        EXPECT_FALSE(IsUndoAvailable());
        EXPECT_EQ(fModified, 1);
        Command(IDM_EDIT_UNDO);
        EXPECT_TRUE(SamePixels(ReadFigure(), before, cxCanvas)) << "after a second undo";
    }
}

TEST_F(FigureCommandsTest, CopyPutsTheFigureOnTheClipboardAndChangesNothing)
{
    Drag(shapeLeft);
    Drag(shapeRight);
    Pixels figure = ReadFigure();
    Command(IDM_EDIT_COPY);
    EXPECT_TRUE(SamePixels(ReadClipboardBitmap(), figure, cxCanvas));
    EXPECT_TRUE(SamePixels(ReadFigure(), figure, cxCanvas));
    ASSERT_TRUE(IsUndoAvailable());
    Command(IDM_EDIT_UNDO);
    EXPECT_TRUE(SamePixels(ReadFigure(), DrawStrokes({shapeLeft}), cxCanvas)) << "undo after the copy";
}

TEST_F(FigureCommandsTest, CutLeavesAWhiteFigureWithoutUndoOrModifiedMark)
{
    Drag(shapeLeft);
    Pixels figure = ReadFigure();
    MarkSaved();
    Command(IDM_EDIT_CUT);
    EXPECT_TRUE(SamePixels(ReadClipboardBitmap(), figure, cxCanvas));
    EXPECT_TRUE(SamePixels(ReadFigure(), Pixels(cxCanvas * cyCanvas, 0xFFFFFF), cxCanvas));
    EXPECT_FALSE(IsUndoAvailable());
    EXPECT_EQ(fModified, 0);
    EXPECT_FALSE(HasModifiedMark());
}

TEST_F(FigureCommandsTest, PasteMergesWithoutUndoAndMarksTheFigureModified)
{
    Drag(shapeLeft);
    Command(IDM_EDIT_COPY);
    ClearFigure();
    Drag(shapeRight);
    MarkSaved();
    Command(IDM_EDIT_PASTE);
    EXPECT_TRUE(SamePixels(ReadFigure(), DrawStrokes({shapeLeft, shapeRight}), cxCanvas));
    EXPECT_FALSE(IsUndoAvailable());
    EXPECT_EQ(fModified, 1);
    EXPECT_TRUE(HasModifiedMark());
}

TEST_F(FigureCommandsTest, BitmapOfAnotherSizeIsPastedFromTheTopLeftAndClipped)
{
    // The canvas is 160 × 120. Every third pixel of the picture is white, and colour reaches its edges.
    auto colorAt = [](int x, int y) -> DWORD {
        return (x + y + 1) % 3 ? (DWORD)(x * 5 % 256 << 16 | y * 7 % 256 << 8 | 90) : 0xFFFFFF;
    };
    const SIZE aSizes[] = {{190, 140}, {80, 40}, {200, 60}, {1, 1}};
    for (const SIZE &size : aSizes) {
        SCOPED_TRACE(std::to_string(size.cx) + " x " + std::to_string(size.cy));
        Pixels picture(size.cx * size.cy), expected(cxCanvas * cyCanvas, 0xFFFFFF);
        for (int y = 0; y < size.cy; y++)
            for (int x = 0; x < size.cx; x++) {
                picture[y * size.cx + x] = colorAt(x, y);
                if (x < cxCanvas && y < cyCanvas)
                    expected[y * cxCanvas + x] = colorAt(x, y);
            }
        PutBitmapOnClipboard(size.cx, size.cy, picture);
        ClearFigure();
        Command(IDM_EDIT_PASTE);
        EXPECT_TRUE(SamePixels(ReadFigure(), expected, cxCanvas));
    }
}

} // namespace
