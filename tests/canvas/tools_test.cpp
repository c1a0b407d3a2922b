// The drawing tools driven as a user drags them over the view: the figure must hold each line and shape
// exactly as the platform draws it with that pen and brush, with no trace of the rubber band.
#include "canvas/canvas_test.h"

#include "app/app_state.h"
#include "document/file_commands.h"
#include "resources/resource.h"

#include <string>

namespace {

const COLORREF crRed = RGB(220, 20, 30), crBlue = RGB(10, 40, 200), crBlack = RGB(0, 0, 0);

using ToolsTest = CanvasTest;

TEST_F(ToolsTest, StrokesLandInTheFigureAsThePlatformDrawsThem)
{
    // Canvas 160 × 120. Line and shape drags pass other points first, so the band moves before it settles.
    struct Case {
        const char *pszName;
        std::vector<Stroke> strokes;
    } aCases[] = {
        {"pen through several points", {{TOOL_PEN, crRed, 1, {{10, 10}, {60, 14}, {64, 70}, {12, 50}, {13, 49}}}}},
        {"wide pen", {{TOOL_PEN, crBlue, 4, {{20, 100}, {80, 20}, {150, 90}}}}},
        {"line", {{TOOL_LINE, crBlack, 1, {{20, 20}, {150, 110}, {90, 40}, {140, 100}}}}},
        {"wide line dragged up-left", {{TOOL_LINE, crBlue, 3, {{120, 90}, {130, 100}, {60, 60}, {15, 10}}}}},
        {"rectangle", {{TOOL_RECT, crRed, 1, {{20, 20}, {50, 80}, {130, 110}, {100, 70}}}}},
        {"wide rectangle dragged up-left", {{TOOL_RECT, crBlack, 3, {{100, 90}, {130, 110}, {30, 25}}}}},
        {"ellipse", {{TOOL_ELLIPSE, crBlue, 1, {{10, 15}, {40, 40}, {150, 100}, {120, 90}}}}},
        {"wide ellipse dragged up-left", {{TOOL_ELLIPSE, crRed, 5, {{140, 110}, {100, 100}, {20, 30}}}}},
        {"filled rectangle", {{TOOL_FILLRECT, crBlue, 1, {{30, 20}, {140, 60}, {110, 90}}}}},
        {"filled rectangle dragged up-left", {{TOOL_FILLRECT, crRed, 4, {{110, 90}, {60, 100}, {25, 35}}}}},
        {"filled ellipse", {{TOOL_FILLELLIPSE, crBlack, 2, {{15, 25}, {100, 40}, {145, 105}}}}},
        {"filled ellipse dragged up-left", {{TOOL_FILLELLIPSE, crBlue, 1, {{130, 100}, {150, 30}, {40, 20}}}}},
        {"outline shapes after filled ones are hollow",
         {{TOOL_FILLRECT, crRed, 1, {{10, 10}, {70, 60}}},
          {TOOL_RECT, crBlack, 2, {{30, 30}, {120, 100}}},
          {TOOL_FILLELLIPSE, crBlue, 1, {{80, 5}, {155, 60}}},
          {TOOL_ELLIPSE, crRed, 1, {{60, 20}, {140, 115}}}}},
        {"bands over the figure leave it as it was",
         {{TOOL_FILLELLIPSE, crBlue, 1, {{10, 10}, {150, 110}}},
          {TOOL_LINE, crRed, 2, {{5, 60}, {150, 5}, {80, 118}, {155, 60}}},
          {TOOL_ELLIPSE, crBlack, 3, {{40, 40}, {150, 115}, {5, 5}, {100, 90}}}}},
        {"eraser whitens a path of width 10, then the pen draws again",
         {{TOOL_FILLRECT, crBlack, 1, {{10, 10}, {150, 110}}},
          {TOOL_ERASER, crBlack, 1, {{20, 20}, {80, 60}, {140, 30}, {141, 100}}},
          {TOOL_LINE, crBlack, 1, {{5, 115}, {155, 5}}}}},
        {"presses outside the canvas are clipped",
         {{TOOL_LINE, crRed, 3, {{175, 30}, {100, 60}}},
          {TOOL_FILLRECT, crBlue, 1, {{-20, -10}, {30, 25}}},
          {TOOL_PEN, crBlack, 1, {{-5, 50}, {20, 50}, {20, 130}}}}},
        {"drags leaving the view keep tracking",
         {{TOOL_PEN, crRed, 2, {{30, 30}, {-25, 40}, {-10, -20}, {50, 70}}},
          {TOOL_RECT, crBlack, 1, {{40, 40}, {-30, 200}}},
          {TOOL_ELLIPSE, crBlue, 2, {{150, 5}, {400, -30}, {100, 80}}}}},
    };
    for (const Case &c : aCases) {
        SCOPED_TRACE(c.pszName);
        ClearFigure();
        for (const Stroke &stroke : c.strokes)
            Drag(stroke);
        EXPECT_TRUE(SamePixels(ReadFigure(), DrawStrokes(c.strokes), cxCanvas));
    }
}

TEST_F(ToolsTest, ErasedAndWhiteStrokesLetTheFrameThrough)
{
    Pixels frame = PaintCanvas(cxCanvas, cyCanvas, 0);
    const std::vector<Stroke> strokes = {{TOOL_FILLRECT, crRed, 1, {{10, 10}, {150, 110}}},
                                         {TOOL_ERASER, crRed, 1, {{20, 20}, {80, 60}, {140, 100}}},
                                         {TOOL_PEN, RGB(255, 255, 255), 3, {{20, 100}, {140, 15}}}};
    for (const Stroke &stroke : strokes)
        Drag(stroke);
    EXPECT_TRUE(SamePixels(PaintCanvas(cxCanvas, cyCanvas, 0), Overlay(frame, DrawStrokes(strokes)), cxCanvas));
}

TEST_F(ToolsTest, ClickOfPenOrLineLeavesOnePixelOfTheColour)
{
    for (int nTool : {TOOL_PEN, TOOL_LINE}) {
        SCOPED_TRACE(nTool);
        ClearFigure();
        Drag({nTool, crRed, 1, {{50, 40}}});
        Pixels expected(cxCanvas * cyCanvas, 0xFFFFFF);
        expected[40 * cxCanvas + 50] = DibColor(crRed);
        EXPECT_TRUE(SamePixels(ReadFigure(), expected, cxCanvas));
    }
}

TEST_F(ToolsTest, RightButtonDoesNothing)
{
    PrepareStroke({TOOL_FILLRECT, crRed, 1, {}});
    fModified = 0;
    Press({20, 20}, WM_RBUTTONDOWN);
    MoveTo({100, 80}, MK_RBUTTON);
    Release({100, 80}, WM_RBUTTONUP);
    EXPECT_EQ(GetCapture(), (HWND)NULL);
    EXPECT_TRUE(SamePixels(ReadFigure(), Pixels(cxCanvas * cyCanvas, 0xFFFFFF), cxCanvas));
    EXPECT_FALSE(IsUndoAvailable());
    EXPECT_EQ(fModified, 0);
}

// The capture taken away between the moves and the release: the drag ends there, keeping what the pen
// or eraser drew and dropping the band, and the next drag starts clean.
TEST_F(ToolsTest, LosingTheCaptureEndsTheDragCleanly)
{
    const Stroke background = {TOOL_FILLRECT, crBlue, 1, {{30, 30}, {130, 90}}};
    const std::vector<POINT> path = {{20, 20}, {90, 60}, {140, 100}};
    struct Case {
        int nTool;
        bool fKeepsPath; // pen and eraser strokes stay as far as they went
        int nNextTool;   // the tool of the next drag, which shows the state left behind
    } aCases[] = {
        {TOOL_PEN, true, TOOL_PEN},    {TOOL_LINE, false, TOOL_LINE},
        {TOOL_RECT, false, TOOL_RECT}, {TOOL_FILLELLIPSE, false, TOOL_FILLELLIPSE},
        {TOOL_ERASER, true, TOOL_PEN},
    };
    HWND hwndOther = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    for (const Case &c : aCases) {
        for (bool fToOtherWindow : {false, true}) {
            SCOPED_TRACE(std::to_string(c.nTool) + (fToOtherWindow ? " captured elsewhere" : " released"));
            ClearFigure();
            Drag(background);
            fModified = 0;
            Stroke lost = {c.nTool, crRed, 3, path};
            PrepareStroke(lost);
            Press(path[0]);
            MoveTo(path[1]);
            MoveTo(path[2]);
            if (fToOtherWindow)
                SetCapture(hwndOther);
            else
                ReleaseCapture();
            Release({60, 110});
            ReleaseCapture();

            std::vector<Stroke> strokes = {background};
            if (c.fKeepsPath)
                strokes.push_back(lost);
            EXPECT_TRUE(SamePixels(ReadFigure(), DrawStrokes(strokes), cxCanvas));
            EXPECT_EQ(fModified, 1);
            EXPECT_TRUE(HasModifiedMark());

            Stroke next = {c.nNextTool, crRed, 3, {{10, 100}, {50, 70}, {150, 10}}};
            Drag(next);
            strokes.push_back(next);
            EXPECT_TRUE(SamePixels(ReadFigure(), DrawStrokes(strokes), cxCanvas));
        }
    }
    DestroyWindow(hwndOther);
}

} // namespace
