// The copy routine that writes every finished AVI file of the program: the first video and the first
// audio stream of a source, each through a compressor set up from its slot's option record.
#pragma once

#include <windows.h>
#include <vfw.h>

#include "document/size_limits.h"

// With fVideoOnly the audio is copied sample by sample, without a compressor. A source with
// neither stream gives a destination without streams; a stream holds what the source really has of it, whatever
// its header promised. TRUE when the destination was written. A destination that
// would pass the AVI limit or not fit its folder is not begun, and *pVerdict says which.
BOOL CopyAviFile(const char *pszSource, const char *pszDest, LPAVICOMPRESSOPTIONS *ppOptions, BOOL fVideoOnly,
                 SizeVerdict *pVerdict = NULL);
// Whether CopyAviFile with these options would write the samples of these streams (a slot each, or null) as they are.
BOOL CopiesUnchanged(PAVISTREAM *apavis, LPAVICOMPRESSOPTIONS *ppOptions);
// Copies the samples of pavisSource from lFrom (at the earliest its start) to lEnd (-1: its end) into pavisDest,
// flagged as key frames. A pass that moves nothing ends the copy as a failure.
BOOL CopyStream(PAVISTREAM pavisSource, PAVISTREAM pavisDest, DWORD fccType, LONG lFrom, LONG lEnd = -1);
