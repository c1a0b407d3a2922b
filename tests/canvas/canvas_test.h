// What the canvas tests share: surfaces read back as 32-bit pixels, reference pictures drawn by the
// platform on a white bitmap like the figure, and drags of the tools sent to the view as a user makes them.
#pragma once

#include "support/document_test.h"

#include <windows.h>

#include <functional>
#include <vector>

using Pixels = std::vector<DWORD>; // 0x00RRGGBB, rows from the top

// A 32-bit top-down DIB section in a memory context of its own, filled with one colour.
class DibSurface {
public:
    DibSurface(int cx, int cy, COLORREF crFill);
    ~DibSurface();
    DibSurface(const DibSurface &) = delete;
    DibSurface &operator=(const DibSurface &) = delete;

    HDC hdc() const { return hdcDib; }
    Pixels Read() const;

private:
    HDC hdcDib;
    HBITMAP hbm, hbmOld;
    DWORD *pdwBits = nullptr;
    int cPixels;
};

DWORD DibColor(COLORREF cr);
// The format of Pixels: 32 bits, rows from the top.
BITMAPINFO TopDownInfo(int cx, int cy);
// The pixels of the cx × cy rectangle at the origin of any context.
Pixels ReadSurface(HDC hdc, int cx, int cy);
Pixels ReadFigure();
// Draws onto a white bitmap of the canvas size and reads it back.
Pixels DrawReference(const std::function<void(HDC)> &draw);
// What the view paints for the position, onto a surface of its own that starts in one colour.
Pixels PaintCanvas(int cx, int cy, COLORREF crBackground);
// What the view must show: the frame where the figure is white, the figure everywhere else.
Pixels Overlay(Pixels frame, const Pixels &figure);
// Equal pixel for pixel; otherwise the count of differences and the first of them.
::testing::AssertionResult SamePixels(const Pixels &actual, const Pixels &expected, int cx);

// A drag of one tool with its colour and pen width: pressed at the first point, moved through the
// others, released at the last.
struct Stroke {
    int nTool;
    COLORREF cr;
    int nWidth;
    std::vector<POINT> pts;
};

// The figure that these strokes must leave on a white canvas: each line and shape as the platform draws
// it with that pen and brush.
Pixels DrawStrokes(const std::vector<Stroke> &strokes);

class CanvasTest : public DocumentTest {
protected:
    void SetUp() override;

    // Chooses the stroke's tool through its command, and its colour and width where they change.
    void PrepareStroke(const Stroke &stroke);
    void Press(POINT pt, UINT msg = WM_LBUTTONDOWN);
    void MoveTo(POINT pt, WPARAM wKeys = MK_LBUTTON);
    void Release(POINT pt, UINT msg = WM_LBUTTONUP);
    void Drag(const Stroke &stroke);
    bool IsUndoAvailable();
    // The main window's title shows the figure as modified.
    bool HasModifiedMark();
};
