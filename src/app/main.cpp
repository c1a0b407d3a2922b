// Entry point of pelto.exe. The command line carries no file for the user: files come in through the Open dialog
// and the recent file list only. The one switch it knows is the private one of the working copy's child process.
#include "app/app_state.h"
#include "app/startup.h"
#include "document/copy_process.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow)
{
    int nExitCode = 1;
    if (RunCopySwitch(&nExitCode))
        return nExitCode;
    AVIFileInit();
    // A start that made no window is a failure, not a clean end.
    if (StartProgram(hInstance, nCmdShow))
        nExitCode = RunMessageLoop(LoadMainAccelerators());

    AVIFileExit();
    EndProgram();
    return nExitCode;
}
