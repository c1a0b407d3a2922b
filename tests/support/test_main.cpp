// Entry point of the test program: the AVI library is initialised around the whole run, as WinMain does. Started
// with the working copy's private switch, it is the program's child process, as pelto.exe would be.
#include "document/copy_process.h"

#include <vfw.h>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    int nExitCode;
    if (RunCopySwitch(&nExitCode))
        return nExitCode;
    ::testing::InitGoogleTest(&argc, argv);
    AVIFileInit();
    int nResult = RUN_ALL_TESTS();
    AVIFileExit();
    return nResult;
}
