// Repair, in place, of the header values that the platform's AVI writer gets wrong on Wine.
#pragma once

#include <windows.h>

// Called once the program has written an AVI file through the AVI library and released it. Sets the length of each
// audio stream with a fixed sample size to the samples its data chunks hold, and the main header's microseconds per
// frame to the first video stream's rate. Only whole DWORDs inside the header chunks are overwritten.
// FALSE when the file cannot be opened, is not a RIFF 'AVI ' file, or a value cannot be written; TRUE otherwise,
// also when nothing needed fixing (as on Windows) or a damaged file was left as it was.
BOOL RepairAviHeaders(const char *pszPath);

// TRUE when the file holds its whole RIFF, with its header list, its movie list and its index: the platform's
// writer reports success also when the disk filled up under it, and a cut file must not count as written.
BOOL IsWholeAviFile(const char *pszPath);
