// Commands on the whole figure and its drawing attributes: undo, the clipboard, pen width and colour.
#pragma once

void UndoFigure();
void CopyFigure();
void CutFigure();
void PasteFigure();
void ChoosePenWidth();
void ChooseDrawingColor();
