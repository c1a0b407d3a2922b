// The program harness: each test starts the real program in this process, as WinMain does
// (title and class strings, both window classes, the main window with its children), with an empty
// settings key and a temporary folder of its own, and drives it through the program's own message loop.
#pragma once

#include "support/avi_maker.h"
#include "support/dialog_robot.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Runs after the settings key was emptied and before the program starts: what a test writes here
    // is what the program finds in the registry at start-up.
    virtual void PrepareSettings() {}

    // Dispatches every queued message through the accelerators, then runs the idle step, until the
    // queue stays empty. Returns false once the program has ended its message loop.
    bool Pump();
    // A command as a menu item sends it, handled through the program's own loop.
    void Command(UINT id);
    // Closes the main window as the user does and pumps until the loop ends.
    void CloseProgram();
    // Pumps, sleeping between passes, until the condition holds or about two seconds have passed.
    bool PumpUntil(const std::function<bool()> &condition);
    // Puts a real video stream, made with the platform's writer, in the place of the document's video,
    // with its frame count and time range: enough for commands that only need a file to be open.
    void UseVideoStream(const AviSpec &spec = AviSpec{});

    std::string strTempDir;  // the test's own temporary folder, with a trailing backslash
    HACCEL haccel = NULL;
    bool fEnded = false;     // the message loop has taken WM_QUIT
    int nExitCode = -1;      // its exit code
    DialogRobot robot;

private:
    PAVISTREAM pavisMadeVideo = NULL;
};

// Deletes the program's settings key with everything under it.
void DeleteSettingsKey();
// Names of the files in a folder (not . and ..).
std::vector<std::string> ListFolder(const std::string &strFolder);
