// Reading the chunks of a RIFF file with the file API, for our own checks and repairs of AVI files: nothing here
// trusts a size field beyond the parent that holds it.
#pragma once

#include <windows.h>

struct Chunk {
    LONGLONG offData; // file offset of the chunk's data (after the list type, for a list)
    LONGLONG offNext; // file offset of the next chunk: RIFF pads every chunk to an even size
    DWORD fcc;        // chunk id
    DWORD fccList;    // list type of a 'LIST', else 0
    DWORD cb;         // data size (without the list type, for a list)
};

bool ReadAt(HANDLE hFile, LONGLONG off, void *pv, DWORD cb);
// Whether the file begins as a RIFF 'AVI ' file; its size, and where its first RIFF says it ends.
bool ReadAviRiff(HANDLE hFile, LONGLONG *pcbFile, LONGLONG *poffRiffEnd);
bool WriteDwordAt(HANDLE hFile, LONGLONG off, DWORD dw);
// Whether the four bytes of a chunk id or a FOURCC are all printable text.
bool IsPrintableFourcc(DWORD fcc);
// Reads the chunk at off, which must lie whole before offEnd (the end of its parent). False on garbage: an id that is
// not text, a size that runs past the parent, a list too short for its type, or a read that fails.
bool ReadChunk(HANDLE hFile, LONGLONG off, LONGLONG offEnd, Chunk *pck);
// The stream number of a data chunk of 'movi': two hex digits and its type ("01wb"); -1 for any other id.
int GetChunkStream(DWORD fcc);
