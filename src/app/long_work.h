// Long work done in the main thread (the open's copy, the save): its progress in the status bar, the window painted
// and answering meanwhile, input held back so that no command starts on a half-made document, and Esc cancelling.
#pragma once

#include <windows.h>

// Starts long work whose progress is shown with string idFormat (one %lu), in cStages stages of equal weight.
void BeginLongWork(UINT idFormat, int cStages = 1);
// The work goes on to its next stage.
void NextLongWorkStage();
// Shows dwAmount, serves the window's messages and returns FALSE once the user has cancelled. Outside long work
// (in the copy process) it does nothing but return TRUE.
BOOL ContinueLongWork(DWORD dwAmount);
// The same with the percentage of the whole work that lDone of lTotal in the current stage make.
BOOL ContinueLongWorkPart(LONG lDone, LONG lTotal);
BOOL IsLongWorkRunning();
// Brings the status panes back; TRUE when the user cancelled the work.
BOOL EndLongWork();
