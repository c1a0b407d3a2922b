// Saving the document: Save, Save As, and the write of the annotated file into its destination.
#pragma once

#include <windows.h>

// Saves under the document's name, or asks for one when the file there is read-only or unusable.
BOOL SaveDocument();
// Saves under pszName, or asks for a name when it is NULL. TRUE when saved.
BOOL SaveDocumentAs(const char *pszName);
// Writes the annotated document to pszDest through the document's compression options.
BOOL SaveToFile(const char *pszDest);
