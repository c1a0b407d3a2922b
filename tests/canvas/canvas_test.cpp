#include "canvas/canvas_test.h"

#include "app/app_state.h"
#include "app/command_state.h"
#include "canvas/view_window.h"
#include "resources/resource.h"

BITMAPINFO TopDownInfo(int cx, int cy)
{
    BITMAPINFO bmi = {};
    bmi.bmiHeader = {sizeof bmi.bmiHeader, cx, -cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    return bmi;
}

DibSurface::DibSurface(int cx, int cy, COLORREF crFill) : cPixels(cx * cy)
{
    BITMAPINFO bmi = TopDownInfo(cx, cy);
    hbm = CreateDIBSection(NULL, &bmi, DIB_RGB_COLORS, (void **)&pdwBits, NULL, 0);
    hdcDib = CreateCompatibleDC(NULL);
    hbmOld = (HBITMAP)SelectObject(hdcDib, hbm);
    RECT rc = {0, 0, cx, cy};
    HBRUSH hbr = CreateSolidBrush(crFill);
    FillRect(hdcDib, &rc, hbr);
    DeleteObject(hbr);
}

DibSurface::~DibSurface()
{
    SelectObject(hdcDib, hbmOld);
    DeleteDC(hdcDib);
    DeleteObject(hbm);
}

Pixels DibSurface::Read() const
{
    GdiFlush();
    Pixels pixels(pdwBits, pdwBits + cPixels);
    for (DWORD &dw : pixels)
        dw &= 0xFFFFFF;
    return pixels;
}

DWORD DibColor(COLORREF cr)
{
    return (DWORD)GetRValue(cr) << 16 | (DWORD)GetGValue(cr) << 8 | GetBValue(cr);
}

Pixels ReadSurface(HDC hdc, int cx, int cy)
{
    DibSurface copy(cx, cy, 0);
    BitBlt(copy.hdc(), 0, 0, cx, cy, hdc, 0, 0, SRCCOPY);
    return copy.Read();
}

Pixels ReadFigure()
{
    return ReadSurface(hdcFigure, cxCanvas, cyCanvas);
}

Pixels DrawReference(const std::function<void(HDC)> &draw)
{
    DibSurface reference(cxCanvas, cyCanvas, RGB(255, 255, 255));
    SetBkMode(reference.hdc(), TRANSPARENT);
    draw(reference.hdc());
    return reference.Read();
}

Pixels PaintCanvas(int cx, int cy, COLORREF crBackground)
{
    DibSurface surface(cx, cy, crBackground);
    PaintView(surface.hdc());
    return surface.Read();
}

Pixels Overlay(Pixels frame, const Pixels &figure)
{
    for (size_t i = 0; i < frame.size() && i < figure.size(); i++)
        if (figure[i] != 0xFFFFFF)
            frame[i] = figure[i];
    return frame;
}

::testing::AssertionResult SamePixels(const Pixels &actual, const Pixels &expected, int cx)
{
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure() << actual.size() << " pixels against " << expected.size();
    size_t cDiffering = 0, iFirst = 0;
    for (size_t i = actual.size(); i-- > 0;)
        if (actual[i] != expected[i]) {
            cDiffering++;
            iFirst = i;
        }
    if (cDiffering == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << cDiffering << " pixels differ, the first at (" << iFirst % cx << ", "
                                         << iFirst / cx << "): " << std::hex << actual[iFirst] << " where "
                                         << expected[iFirst] << " was due";
}

static void DrawStroke(HDC hdc, const Stroke &stroke)
{
    const POINT &ptFirst = stroke.pts.front(), &ptLast = stroke.pts.back();
    bool fErase = stroke.nTool == TOOL_ERASER;
    bool fFill = stroke.nTool == TOOL_FILLRECT || stroke.nTool == TOOL_FILLELLIPSE;
    HPEN hpen = CreatePen(PS_SOLID, fErase ? 10 : stroke.nWidth, fErase ? RGB(255, 255, 255) : stroke.cr);
    HBRUSH hbr = fFill ? CreateSolidBrush(stroke.cr) : (HBRUSH)GetStockObject(NULL_BRUSH);
    HGDIOBJ hpenOld = SelectObject(hdc, hpen), hbrOld = SelectObject(hdc, hbr);
    switch (stroke.nTool) {
    case TOOL_PEN:
    case TOOL_ERASER:
        Polyline(hdc, stroke.pts.data(), (int)stroke.pts.size());
        for (size_t i = 0; i < stroke.pts.size() && !fErase; i++)
            SetPixel(hdc, stroke.pts[i].x, stroke.pts[i].y, stroke.cr);
        break;
    case TOOL_LINE:
        MoveToEx(hdc, ptFirst.x, ptFirst.y, NULL);
        LineTo(hdc, ptLast.x, ptLast.y);
        SetPixel(hdc, ptLast.x, ptLast.y, stroke.cr);
        break;
    case TOOL_RECT:
    case TOOL_FILLRECT: Rectangle(hdc, ptFirst.x, ptFirst.y, ptLast.x, ptLast.y); break;
    case TOOL_ELLIPSE:
    case TOOL_FILLELLIPSE: Ellipse(hdc, ptFirst.x, ptFirst.y, ptLast.x, ptLast.y); break;
    }
    SelectObject(hdc, hbrOld);
    SelectObject(hdc, hpenOld);
    DeleteObject(hpen);
    if (fFill)
        DeleteObject(hbr);
}

Pixels DrawStrokes(const std::vector<Stroke> &strokes)
{
    return DrawReference([&](HDC hdc) {
        for (const Stroke &stroke : strokes)
            DrawStroke(hdc, stroke);
    });
}

void CanvasTest::SetUp()
{
    DocumentTest::SetUp();
    if (!IsSkipped())
        OpenPatternVideo(160, 120, 3);
}

void CanvasTest::PrepareStroke(const Stroke &stroke)
{
    static const UINT aidToolCommands[] = {IDM_TOOL_PEN,      IDM_TOOL_LINE,        IDM_TOOL_RECT,  IDM_TOOL_ELLIPSE,
                                           IDM_TOOL_FILLRECT, IDM_TOOL_FILLELLIPSE, IDM_TOOL_ERASER};
    Command(aidToolCommands[stroke.nTool]);
    if (crColor == stroke.cr && nPenWidth == stroke.nWidth)
        return;
    crColor = stroke.cr;
    nPenWidth = stroke.nWidth;
    ReplaceDrawingObjects(TRUE);
}

void CanvasTest::Press(POINT pt, UINT msg)
{
    SendMessageA(hwndView, msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON, MAKELPARAM(pt.x, pt.y));
}

void CanvasTest::MoveTo(POINT pt, WPARAM wKeys)
{
    SendMessageA(hwndView, WM_MOUSEMOVE, wKeys, MAKELPARAM(pt.x, pt.y));
}

void CanvasTest::Release(POINT pt, UINT msg)
{
    SendMessageA(hwndView, msg, 0, MAKELPARAM(pt.x, pt.y));
    Pump();
}

void CanvasTest::Drag(const Stroke &stroke)
{
    PrepareStroke(stroke);
    Press(stroke.pts.front());
    EXPECT_EQ(GetCapture(), hwndView) << "the press did not take the mouse";
    for (size_t i = 1; i < stroke.pts.size(); i++)
        MoveTo(stroke.pts[i]);
    Release(stroke.pts.back());
    EXPECT_EQ(GetCapture(), (HWND)NULL) << "the release kept the mouse";
}

bool CanvasTest::IsUndoAvailable()
{
    BOOL fChecked = FALSE;
    return QueryCommandState(IDM_EDIT_UNDO, &fChecked);
}

bool CanvasTest::HasModifiedMark()
{
    char szTitle[MAX_PATH + 100];
    GetWindowTextA(hwndMain, szTitle, sizeof szTitle);
    return strstr(szTitle, " *") != nullptr;
}
