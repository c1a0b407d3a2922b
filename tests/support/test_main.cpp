// Entry point of the test program: the AVI library is initialised around the whole run, as WinMain does. Started
// with the working copy's private switch, it is the program's child process, as pelto.exe would be; started while
// PELTO_STALL_COPY is set, it is a copy process that makes no progress: it sets the event of that name and waits
// until it is ended.
#include "document/copy_process.h"

#include <vfw.h>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    int nExitCode;
    if (GetEnvironmentVariableA("PELTO_STALL_COPY", NULL, 0)) {
        SetEvent(OpenEventA(EVENT_MODIFY_STATE, FALSE, "PELTO_STALL_COPY"));
        Sleep(INFINITE);
    }
    if (RunCopySwitch(&nExitCode))
        return nExitCode;
    ::testing::InitGoogleTest(&argc, argv);
    AVIFileInit();
    int nResult = RUN_ALL_TESTS();
    AVIFileExit();
    return nResult;
}
