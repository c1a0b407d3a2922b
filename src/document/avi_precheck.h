// Our own look at a file from outside before the platform's AVI library parses it: header values the library
// cannot survive (it aborts or faults on them) are refused here, in bounded reads of the header list.
#pragma once

#include <windows.h>

// FALSE for a file that is no RIFF 'AVI ' file with a whole header list, or whose headers hold a stream count that
// disagrees with its stream lists, a video of zero rate or scale, a format shorter than its kind needs or longer
// than its chunk, a frame whose size does not fit, a pixel format no decoder could name, or a sound format that
// makes no sense or that the library cannot read (MP3). (An index that runs past the file's end is a cut file's.)
BOOL PassesHeaderCheck(const char *pszPath);
