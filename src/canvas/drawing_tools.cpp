// The drawing tools. A press takes the undo copy and the mouse capture; moves extend the stroke or move
// the rubber band, which is drawn inverted (R2_NOT) so that drawing it twice leaves no trace; the release
// commits the line or shape, repaints the view and marks the figure modified. Each drag draws twice:
// into the figure, which is the record, and straight onto the window as immediate feedback. Every pen and
// brush other than the tool pen is selected into the figure only for the one drawing that needs it.
#include "canvas/drawing_tools.h"

#include "app/app_state.h"
#include "app/command_state.h"
#include "canvas/canvas_surfaces.h"
#include "canvas/figure_commands.h"
#include "canvas/text_tool.h"
#include "canvas/view_window.h"
#include "resources/resource.h"

#include <windowsx.h>

#include <climits>

static POINT ptAnchor;                       // press point of a line or shape drag
static POINT ptBandEnd = {INT_MIN, INT_MIN}; // end of the band now drawn; x INT_MIN when there is none
static POINT ptLast;                         // latest point of a pen stroke as drawn on the window
static BOOL fDragging;                       // a press took the capture and no release has ended it yet

static const WORD aidToolCursors[] = {
    IDC_CURSOR_PEN,   IDC_CURSOR_CROSS, IDC_CURSOR_CROSS,  IDC_CURSOR_CROSS,
    IDC_CURSOR_CROSS, IDC_CURSOR_CROSS, IDC_CURSOR_ERASER, IDC_CURSOR_CROSS,
};

static BOOL IsShapeTool(int nShapeTool)
{
    return nShapeTool >= TOOL_RECT && nShapeTool <= TOOL_FILLELLIPSE;
}

static BOOL IsBandTool(int nBandTool)
{
    return nBandTool == TOOL_LINE || IsShapeTool(nBandTool);
}

static POINT GetMousePoint(LPARAM lParam)
{
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

// The outline of the current line or shape tool from the anchor to pt, in the context's current mix.
static void DrawOutline(HDC hdc, POINT pt)
{
    switch (nTool) {
    case TOOL_LINE:
        MoveToEx(hdc, ptAnchor.x, ptAnchor.y, NULL);
        LineTo(hdc, pt.x, pt.y);
        break;
    case TOOL_RECT:
    case TOOL_FILLRECT: Rectangle(hdc, ptAnchor.x, ptAnchor.y, pt.x, pt.y); break;
    case TOOL_ELLIPSE:
    case TOOL_FILLELLIPSE: Ellipse(hdc, ptAnchor.x, ptAnchor.y, pt.x, pt.y); break;
    }
}

// The outline of the current tool in the figure, with a shape's inside filled when fFill.
static void DrawOutlineInFigure(POINT pt, BOOL fFill)
{
    SelectFigureObjects(hPen, fFill ? (HGDIOBJ)hBrush : GetStockObject(NULL_BRUSH));
    DrawOutline(hdcFigure, pt);
    RestoreFigureObjects();
}

// Inverts the band's outline to pt in the figure: drawn once it shows, drawn again it is gone.
static void InvertOutlineInFigure(POINT pt)
{
    int nOldMix = SetROP2(hdcFigure, R2_NOT);
    DrawOutlineInFigure(pt, FALSE);
    SetROP2(hdcFigure, nOldMix);
}

static void RemoveBandFromFigure()
{
    if (ptBandEnd.x == INT_MIN)
        return;
    InvertOutlineInFigure(ptBandEnd);
    ptBandEnd.x = INT_MIN;
}

static void MoveBand(POINT pt)
{
    if (ptBandEnd.x != INT_MIN)
        InvertOutlineInFigure(ptBandEnd);
    InvertOutlineInFigure(pt);

    HDC hdc = GetDC(hwndView);
    if (hdc) {
        HGDIOBJ hbrOld = IsShapeTool(nTool) ? SelectObject(hdc, GetStockObject(NULL_BRUSH)) : NULL;
        SetROP2(hdc, R2_NOT);
        HGDIOBJ hpenOld = SelectObject(hdc, hPen);
        if (ptBandEnd.x != INT_MIN)
            DrawOutline(hdc, ptBandEnd);
        DrawOutline(hdc, pt);
        SelectObject(hdc, hpenOld);
        if (hbrOld)
            SelectObject(hdc, hbrOld);
        ReleaseDC(hwndView, hdc);
    }
    ptBandEnd = pt;
}

// A segment of a pen or eraser stroke in the figure, from the latest point to pt.
static void DrawStrokeInFigure(HPEN hpen, POINT pt)
{
    SelectFigureObjects(hpen, GetStockObject(NULL_BRUSH));
    MoveToEx(hdcFigure, ptLast.x, ptLast.y, NULL);
    LineTo(hdcFigure, pt.x, pt.y);
    RestoreFigureObjects();
}

static void ExtendPenStroke(POINT pt)
{
    DrawStrokeInFigure(hPen, pt);
    SetPixel(hdcFigure, pt.x, pt.y, crColor);
    HDC hdc = GetDC(hwndView);
    if (hdc) {
        HGDIOBJ hpenOld = SelectObject(hdc, hPen);
        MoveToEx(hdc, ptLast.x, ptLast.y, NULL);
        LineTo(hdc, pt.x, pt.y);
        SetPixel(hdc, pt.x, pt.y, crColor);
        SelectObject(hdc, hpenOld);
        ReleaseDC(hwndView, hdc);
    }
    ptLast = pt;
}

static void StartPenStroke(POINT pt)
{
    SetPixel(hdcFigure, pt.x, pt.y, crColor);
    HDC hdc = GetDC(hwndView);
    if (hdc) {
        SetPixel(hdc, pt.x, pt.y, crColor);
        ReleaseDC(hwndView, hdc);
    }
}

// A placed text is a finished change of its own; the text dialog has taken the capture away already.
static void PlaceTextAt(POINT pt)
{
    fDragging = FALSE;
    if (GetCapture() == hwndView)
        ReleaseCapture();
    if (PlaceText(pt.x, pt.y))
        MarkFigureModified();
}

void OnViewMouseDown(WPARAM, LPARAM lParam)
{
    if (!pavisVideo)
        return;
    POINT pt = GetMousePoint(lParam);
    ptLast = pt;
    BitBlt(hdcUndo, 0, 0, cxFrame, cyFrame, hdcFigure, 0, 0, SRCCOPY);
    fCanUndo = 1;
    SetCapture(hwndView);
    fDragging = TRUE;
    switch (nTool) {
    case TOOL_PEN: StartPenStroke(pt); break;
    case TOOL_LINE:
    case TOOL_RECT:
    case TOOL_ELLIPSE:
    case TOOL_FILLRECT:
    case TOOL_FILLELLIPSE: ptAnchor = pt; break;
    case TOOL_TEXT: PlaceTextAt(pt); break;
    }
    UpdateCommandUI();
    RepaintView();
}

void OnViewMouseMove(WPARAM, LPARAM lParam)
{
    if (GetCapture() != hwndView) {
        if (nTool == TOOL_ERASER)
            RepaintView();
        return;
    }
    if (!pavisVideo)
        return;
    POINT pt = GetMousePoint(lParam);
    if (nTool == TOOL_PEN) {
        ExtendPenStroke(pt);
    } else if (IsBandTool(nTool)) {
        MoveBand(pt);
    } else if (nTool == TOOL_ERASER) {
        DrawStrokeInFigure(hPenEraser, pt);
        ptLast = pt;
        RepaintView();
    }
}

static void CommitDrag(POINT pt)
{
    if (!IsBandTool(nTool))
        return;
    RemoveBandFromFigure();
    DrawOutlineInFigure(pt, nTool == TOOL_FILLRECT || nTool == TOOL_FILLELLIPSE);
    if (nTool == TOOL_LINE)
        SetPixel(hdcFigure, pt.x, pt.y, crColor);
}

void OnViewMouseUp(WPARAM wParam, LPARAM lParam)
{
    if (GetCapture() != hwndView || !pavisVideo)
        return;
    OnViewMouseMove(wParam, lParam);
    fDragging = FALSE;
    ReleaseCapture();
    CommitDrag(GetMousePoint(lParam));
    RepaintView();
    MarkFigureModified();
}

void OnViewCaptureLost()
{
    if (!fDragging)
        return;
    fDragging = FALSE;
    // What was drawn before stays; the band goes.
    RemoveBandFromFigure();
    RepaintView();
    MarkFigureModified();
}

LRESULT OnViewSetCursor(WPARAM wParam, LPARAM lParam)
{
    if ((HWND)wParam != hwndView || LOWORD(lParam) != HTCLIENT)
        return DefWindowProcA(hwndView, WM_SETCURSOR, wParam, lParam);
    if (pavisVideo && nTool >= TOOL_PEN && nTool <= TOOL_TEXT) {
        DWORD dwPos = GetMessagePos();
        POINT pt = {GET_X_LPARAM(dwPos), GET_Y_LPARAM(dwPos)};
        ScreenToClient(hwndView, &pt);
        if (pt.x >= 0 && pt.x <= cxCanvas && pt.y >= 0 && pt.y <= cyCanvas) {
            SetCursor(LoadCursor(hInst, MAKEINTRESOURCE(aidToolCursors[nTool])));
            return 0;
        }
    }
    SetCursor(LoadCursor(NULL, IDC_ARROW));
    return 0;
}
