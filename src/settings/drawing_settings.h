// The drawing settings under the program's key: pen width, colour and the text tool's font.
#pragma once

// Reads crColor, nPenWidth and lfText from the registry; what cannot be read keeps its default
// (black, width 1, the platform's default GUI font).
void ReadDrawingSettings();
void StorePenWidth();
void StoreColor();
void StoreTextFont();
