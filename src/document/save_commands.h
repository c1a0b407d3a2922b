// Saving the document: Save, Save As, and the write of the annotated file into its destination.
#pragma once

#include <windows.h>

// Saves under the document's name, or asks for one when the file there is read-only or unusable.
BOOL SaveDocument();
// Saves under pszName, or asks for a name when it is NULL. TRUE when saved.
BOOL SaveDocumentAs(const char *pszName);
// How a save writes its file. The fast way writes the annotated file straight beside the destination when the
// compression options would copy it unchanged, and reads frames stored as the saved ones as bytes; the plain way
// decodes and draws every frame and always copies. Both write the same bytes: the plain way is their yardstick.
enum SaveWay { SAVE_FAST, SAVE_PLAIN };
// Writes the annotated document to pszDest through the document's compression options.
BOOL SaveToFile(const char *pszDest, SaveWay way = SAVE_FAST);
