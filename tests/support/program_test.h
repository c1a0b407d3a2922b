// The program harness: each test starts the real program in this process, as WinMain does, with an empty
// settings key and a temporary folder of its own (the program's temporary files land there too), drives it
// through the program's own message loop, and checks at the end that no file was left behind.
#pragma once

#include "support/dialog_robot.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using Pixels = std::vector<DWORD>; // 0x00RRGGBB, rows from the top

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Runs after the settings key was emptied and before the program starts.
    virtual void PrepareSettings() {}

    // Dispatches every queued message through the accelerators and runs the idle step until the queue stays
    // empty. False once the program has ended its message loop.
    bool Pump();
    void Command(UINT id);
    void CloseProgram();
    // Pumps until the condition holds; false after ten seconds.
    bool PumpUntil(const std::function<bool()> &condition);

    // A file of the test's folder, removed at the end.
    std::string AddFile(const std::string &strName);
    // Makes strTempDir + strName with ffmpeg (-y and the output path are added).
    std::string MakeMedia(const std::string &strName, const std::string &strArguments);
    // Makes a bottom-up raw RGB video of ffmpeg's test pattern at 10 frames a second (every reader here sees
    // the same pixels), with a 22,050 Hz tone when fSound, and opens it as the user does.
    std::string OpenPattern(int cx, int cy, int cFrames, bool fSound = false);
    void OpenFile(const std::string &strPath);
    // A drag of a tool in a colour and width over the view: pressed at the first point, released at the last.
    void Drag(int nTool, COLORREF cr, int nWidth, const std::vector<POINT> &pts);

    std::string strTempDir; // with a trailing backslash
    HACCEL haccel = NULL;
    bool fEnded = false;    // the message loop has taken WM_QUIT
    int nExitCode = -1;
    DialogRobot robot;

private:
    std::vector<std::string> files;
    char szTmpKept[MAX_PATH] = "";
};

void DeleteSettingsKey();
std::vector<std::string> ListFolder(const std::string &strFolder);
// The pixels of cx × cy at the origin of a context, and what the view paints onto a surface of one colour.
Pixels ReadPixels(HDC hdc, int cx, int cy);
Pixels ReadFigure();
Pixels PaintCanvas(int cx, int cy, DWORD dwBackground);
// Draws onto a memory surface of cx × cy filled with one colour (0xRRGGBB) and reads it back.
Pixels DrawOnSurface(int cx, int cy, DWORD dwFill, const std::function<void(HDC)> &draw);
// Draws onto a white bitmap of the canvas size, as the figure starts, and reads it back.
Pixels DrawReference(const std::function<void(HDC)> &draw);
// The frame where the figure is white, the figure everywhere else.
Pixels Overlay(Pixels frame, const Pixels &figure);
::testing::AssertionResult SamePixels(const Pixels &actual, const Pixels &expected);
