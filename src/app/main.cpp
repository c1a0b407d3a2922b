// Entry point of pelto.exe. The command line is not read: files come in through the Open dialog
// and the recent file list only.
#include "app/app_state.h"
#include "app/startup.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow)
{
    AVIFileInit();
    // A start that made no window is a failure, not a clean end.
    int nExitCode = 1;
    if (StartProgram(hInstance, nCmdShow))
        nExitCode = RunMessageLoop(LoadMainAccelerators());

    AVIFileExit();
    EndProgram();
    return nExitCode;
}
