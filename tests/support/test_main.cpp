// Entry point of the test program: the AVI library is initialised around the whole run, as WinMain does.
#include <windows.h>
#include <vfw.h>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    AVIFileInit();
    int nResult = RUN_ALL_TESTS();
    AVIFileExit();
    return nResult;
}
