// The first read of a file from outside, in a process of its own: the working copy is made by the program itself,
// started again with a private switch, so that a crash or an endless loop inside the platform's AVI library costs
// that process and not the user's work.
#pragma once

#include <windows.h>

#include "document/size_limits.h"

enum CopyResult { COPY_DONE, COPY_FAILED, COPY_CANCELLED };

// Copies pszSource into the working copy pszDest in a child process, waiting with the window painted and Esc
// cancelling. A child that ends in failure, crashes or shows no progress for a few seconds fails the copy; one that
// found the working copy too large for the AVI limit or for its folder fails it with *pVerdict saying so. Whatever
// the copy left at pszDest is deleted unless it is COPY_DONE.
CopyResult CopyInChildProcess(const char *pszSource, const char *pszDest, SizeVerdict *pVerdict);

// In the child: when the process was started with the private switch, makes the copy, sets *pnExitCode (0 when the
// copy was written) and returns TRUE; FALSE for an ordinary start.
BOOL RunCopySwitch(int *pnExitCode);
