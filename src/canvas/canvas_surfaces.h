// The canvas behind the view: the figure, the work surface, the one-bit mask and the undo copy, each one
// frame in size, with the tools' pen, eraser pen and brush. White in the figure is transparent.
#pragma once

#include <windows.h>

// The largest canvas side: a frame beyond it is refused rather than given surfaces the platform cannot draw.
constexpr LONG MAX_CANVAS_SIDE = 16384;

// Makes every surface at the canvas size, the figure white. FALSE when one could not be made; then none exists.
BOOL CreateCanvas();
void DestroyCanvas();
// Makes the surfaces anew at the canvas size, carrying the figure over (rescaled when the size changed) and
// dropping the undo copy. FALSE when they could not be made: then no surface exists until the next build.
BOOL RebuildCanvas();
// Rebuilds the surfaces when the canvas size differs from theirs. FALSE when they could not be made.
BOOL SyncCanvasSize();
// Makes hPen (and with fNewBrush, hBrush) anew from crColor and nPenWidth.
void ReplaceDrawingObjects(BOOL fNewBrush);

// Selects a pen and a brush into the figure for one drawing; RestoreFigureObjects puts back what the figure
// holds between drawings (the tool pen and its own brush), before any drawing object may be deleted.
void SelectFigureObjects(HGDIOBJ hpen, HGDIOBJ hbr);
void RestoreFigureObjects();

// Draws a decoded frame (a packed DIB: header, colours, pixels) onto hdcWork at canvas size.
void DrawFrameToWork(const BITMAPINFOHEADER *pbih);
// Lays the figure over what hdcWork holds: the figure's pixel wins wherever it is not white.
void OverlayFigure();
// Reads the work surface as a bottom-up image in the format of pbih into pvBits. FALSE unless every line was read.
BOOL ReadWorkPixels(void *pvBits, const BITMAPINFOHEADER *pbih);
// The same for the figure.
BOOL ReadFigurePixels(void *pvBits, const BITMAPINFOHEADER *pbih);
// Whether the surfaces keep every colour of a 24-bit frame: a display of fewer colours makes them round colours off.
BOOL HoldsTrueColour();
