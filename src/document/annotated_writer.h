// The program's result: the document written with the figure painted into the frames of the figure range.
#pragma once

#include <windows.h>

// Writes every frame, decoded and as uncompressed 24-bit key frames, with the figure laid over the frames
// of the figure range, and the sound sample for sample. FALSE when any step failed; nothing is written
// at all when there is no decoder or a frame would not fit into one chunk.
// fFramesAsBytes lets frames stored as the saved ones are be read as bytes; they come out the same.
BOOL WriteAnnotatedAvi(const char *pszPath, BOOL fFramesAsBytes);
// The bytes of the streams WriteAnnotatedAvi writes for the open document, as the size limits count them.
ULONGLONG GetAnnotatedStreamBytes();
