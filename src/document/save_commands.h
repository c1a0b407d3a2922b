// Saving the document: Save, Save As, and the write of the annotated file into its destination.
#pragma once

#include <windows.h>

BOOL SaveDocument();
