// Start-up, the message loop with its idle step, and shut-down.
#pragma once

#include <windows.h>

ATOM RegisterMainClass(HINSTANCE hInstance);
BOOL InitInstance(HINSTANCE hInstance, int nCmdShow);
// Loads the title and class name, registers the main class and creates the main window.
BOOL StartProgram(HINSTANCE hInstance, int nCmdShow);
// Frees what the start made beside the windows: the recent file list.
void EndProgram();
HACCEL LoadMainAccelerators();

// Takes and dispatches every queued message, through the accelerators first.
// Returns FALSE once WM_QUIT has been taken, with its exit code in *pnExitCode.
BOOL PumpMessages(HACCEL haccel, int *pnExitCode);
// The work of an empty queue: arms the next frame timer while playing.
void RunIdleStep();
int RunMessageLoop(HACCEL haccel);
