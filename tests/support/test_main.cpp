// Entry point of the test program: the AVI library is initialised around the whole run, as WinMain does.
// Each run has a current-user registry branch of its own, so that runs side by side never empty or read
// each other's settings key.
#include <windows.h>
#include <shlwapi.h>
#include <vfw.h>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    char szRunKey[64];
    wsprintfA(szRunKey, "Software\\PeltoTestRuns\\%lu", GetCurrentProcessId());
    HKEY hkeyRun = NULL;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, szRunKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hkeyRun, NULL) == ERROR_SUCCESS)
        RegOverridePredefKey(HKEY_CURRENT_USER, hkeyRun);
    AVIFileInit();
    int nResult = RUN_ALL_TESTS();
    AVIFileExit();
    if (hkeyRun) {
        RegOverridePredefKey(HKEY_CURRENT_USER, NULL);
        RegCloseKey(hkeyRun);
        SHDeleteKeyA(HKEY_CURRENT_USER, szRunKey);
    }
    return nResult;
}
