// Commands on the whole figure and its drawing attributes: clearing, undo, the clipboard, pen width and colour.
#pragma once

#include <windows.h>

// Sets fModified and the title's mark.
void MarkFigureModified();
// Whitens the whole figure and drops the undo copy.
void ClearFigure();
void UndoFigure();
// Puts the figure on the clipboard as one bitmap. FALSE, with a beep, when the clipboard could not take it.
BOOL CopyFigure();
void CutFigure();
void PasteFigure();
void ChoosePenWidth();
void ChooseDrawingColor();
