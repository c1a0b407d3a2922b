// The limits of the files the program writes: a plain AVI file (one RIFF list, 32-bit offsets) ends at 2 GB, and
// a file is started only where its folder has room for all of it. Both are known before anything is written.
#pragma once

#include <windows.h>
#include <vfw.h>

enum SizeVerdict { SIZE_FITS, SIZE_TOO_LARGE, SIZE_NO_ROOM };

// The bytes a stream of cSamples samples of cbSample bytes each takes in a written file, chunks and index included.
ULONGLONG GetWrittenStreamBytes(LONG cSamples, ULONGLONG cbSample);
// The same for cSamples samples of a stream as it will be read for writing: their size from its format (a
// compressor's format gives the largest frame it makes).
ULONGLONG GetWrittenStreamBytes(PAVISTREAM pavis, LONG cSamples);
// The whole file, its headers included, from its streams' bytes.
ULONGLONG GetWrittenFileBytes(ULONGLONG cbStreams);
// Whether a file of cbFile bytes may be written at pszPath: within the AVI limit, and with room in its folder
// beside cbAlso more bytes still to be written there.
SizeVerdict CheckRoomFor(const char *pszPath, ULONGLONG cbFile, ULONGLONG cbAlso = 0);
// Whether two paths lie on the same volume, so that their files take the same free space.
BOOL IsSameVolume(const char *pszPath1, const char *pszPath2);
// Says why pszFile (the user's file) cannot be handled: its AVI file would pass the limit, or the folder of
// pszWritten has no room for it. Nothing for SIZE_FITS.
void ShowSizeRefusal(SizeVerdict verdict, const char *pszFile, const char *pszWritten);
