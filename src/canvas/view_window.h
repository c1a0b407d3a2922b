// The view and the canvas behind it: the frame under the position with the figure laid over it, at 1:1.
// White in the figure is transparent.
#pragma once

#include <windows.h>

LRESULT CALLBACK ViewWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
void CreateCanvasSurfaces();
void DestroyCanvasSurfaces();
// Rebuilds the surfaces when the canvas size differs from theirs, whether or not the view's size changed.
void SyncCanvasSize();
void PaintView(HDC hdc);
// Draws a decoded frame (a packed DIB: header, colours, pixels) onto hdcWork at canvas size.
void DrawFrameToWork(const BITMAPINFOHEADER *pbih);
// Lays the figure over what hdcWork holds: the figure's pixel wins wherever it is not white.
void OverlayFigure();
// Reads the work surface as a bottom-up image in the format of pbih into pvBits. FALSE unless every line
// was read.
BOOL ReadWorkPixels(void *pvBits, const BITMAPINFOHEADER *pbih);
// Makes hPen (and with fNewBrush, hBrush) anew from crColor and nPenWidth, in the order that keeps every
// displaced object selectable back.
void ReplaceDrawingObjects(BOOL fNewBrush);
// Repaints the view at once, without erasing.
void RepaintView();
