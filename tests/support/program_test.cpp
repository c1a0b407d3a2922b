#include "support/harness.h"

#include "app/app_state.h"
#include "app/startup.h"
#include "canvas/canvas_surfaces.h"
#include "canvas/view_window.h"
#include "document/file_commands.h"
#include "resources/resource.h"

#include <shlwapi.h>

#include <algorithm>

const UINT aidTools[] = {IDM_TOOL_PEN,      IDM_TOOL_LINE,        IDM_TOOL_RECT,   IDM_TOOL_ELLIPSE,
                         IDM_TOOL_FILLRECT, IDM_TOOL_FILLELLIPSE, IDM_TOOL_ERASER, IDM_TOOL_TEXT};

void DeleteSettingsKey()
{
    SHDeleteKeyA(HKEY_CURRENT_USER, pszRegistryKey);
}

std::vector<std::string> ListFolder(const std::string &strFolder, const std::string &strPattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE hfind = FindFirstFileA((strFolder + strPattern).c_str(), &fd);
    for (BOOL fMore = hfind != INVALID_HANDLE_VALUE; fMore; fMore = FindNextFileA(hfind, &fd))
        if (fd.cFileName[0] != '.')
            names.push_back(fd.cFileName);
    FindClose(hfind);
    return names;
}

DWORD CountHandles()
{
    DWORD c = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &c) && c)
        return c;
    for (ULONG_PTR h = 4; h < 0x10000; h += 4) {
        DWORD dwFlags;
        c += GetHandleInformation((HANDLE)h, &dwFlags) != 0;
    }
    return c;
}

void ProgramTest::SetUp()
{
    DeleteSettingsKey();
    char szBase[MAX_PATH], szName[MAX_PATH];
    GetTempPathA(sizeof szBase, szBase);
    GetTempFileNameA(szBase, "pt", 0, szName);
    DeleteFileA(szName);
    CreateDirectoryA(szName, NULL);
    strTempDir = std::string(szName) + "\\";
    GetEnvironmentVariableA("TMP", szTmpKept, sizeof szTmpKept);
    SetEnvironmentVariableA("TMP", strTempDir.c_str());
    RestartProgram();
}

// Closes the program as a user does, when it runs, and forgets its window classes and frees what WinMain frees, as
// a process that ends would.
void ProgramTest::StopProgram()
{
    if (!fEnded && IsWindow(hwndMain))
        CloseProgram();
    UnregisterClassA(szWindowClass, GetModuleHandleA(NULL));
    UnregisterClassA(pszViewClass, NULL);
    EndProgram();
}

void ProgramTest::RestartProgram()
{
    StopProgram();
    fEnded = false;
    ASSERT_TRUE(StartProgram(GetModuleHandleA(NULL), SW_SHOW));
    haccel = LoadMainAccelerators();
    Pump();
}

void ProgramTest::TearDown()
{
    fPlaying = FALSE;
    fModified = 0;
    StopProgram();
    for (auto it = files.rbegin(); it != files.rend(); ++it)
        DeleteFileA(it->c_str()) || RemoveDirectoryA(it->c_str());
    EXPECT_EQ(ListFolder(strTempDir), std::vector<std::string>()) << "files left in the temporary folder";
    RemoveDirectoryA(strTempDir.c_str());
    SetEnvironmentVariableA("TMP", szTmpKept);
    DeleteSettingsKey();
}

void ProgramTest::Pump()
{
    MSG msg;
    for (int nPass = 0; !fEnded && nPass < 1000; nPass++) {
        fEnded = !PumpMessages(haccel, &nExitCode);
        if (!fEnded)
            RunIdleStep();
        if (!PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE))
            break;
    }
}

void ProgramTest::Command(UINT id)
{
    SendMessageA(hwndMain, WM_COMMAND, id, 0);
    Pump();
}

bool ProgramTest::PumpUntil(const std::function<bool()> &condition)
{
    for (DWORD dwStart = GetTickCount(); !condition() && GetTickCount() - dwStart < 10000; Sleep(2))
        Pump();
    return condition();
}

void ProgramTest::PumpFor(DWORD dwMs)
{
    DWORD dwStart = GetTickCount();
    PumpUntil([&] { return GetTickCount() - dwStart >= dwMs; });
}

void ProgramTest::CloseProgram()
{
    PostMessageA(hwndMain, WM_CLOSE, 0, 0);
    EXPECT_TRUE(PumpUntil([this] { return fEnded; })) << "the message loop did not end";
}

std::string ProgramTest::AddFile(const std::string &strName)
{
    files.push_back(strTempDir + strName);
    return files.back();
}

std::string ProgramTest::MakeMedia(const std::string &strName, const std::string &strArguments)
{
    std::string strPath = AddFile(strName), strOutput;
    std::string strCommand = "ffmpeg -loglevel error -nostdin " + strArguments + " -y '" + ToHostPath(strPath) + "'";
    EXPECT_TRUE(RunHostCommand(strCommand, &strOutput)) << strCommand << ": " << strOutput;
    return strPath;
}

std::string ProgramTest::OpenPattern(int cx, int cy, int cFrames, bool fSound)
{
    std::string strSize = std::to_string(cx) + "x" + std::to_string(cy);
    std::string strPath = MakeMedia(
        "pattern" + strSize + ".avi",
        "-f lavfi -i testsrc=size=" + strSize + ":rate=10 " +
            (fSound ? "-f lavfi -i sine=frequency=300:sample_rate=22050 -c:a pcm_s16le -shortest " : "") +
            "-frames:v " + std::to_string(cFrames) + " -vf vflip -flipped_raw_rgb 1 -c:v rawvideo -pix_fmt bgr24");
    OpenFile(strPath);
    return strPath;
}

void ProgramTest::OpenFile(const std::string &strPath)
{
    ASSERT_TRUE(OpenFilePath(strPath.c_str()));
    ASSERT_NE(pavisVideo, (PAVISTREAM)NULL) << strPath;
}

void ProgramTest::Drag(int nTool, COLORREF cr, int nWidth, const std::vector<POINT> &pts, bool fLoseMouse)
{
    Command(aidTools[nTool]);
    crColor = cr;
    nPenWidth = nWidth;
    ReplaceDrawingObjects(TRUE);
    SendMessageA(hwndView, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pts[0].x, pts[0].y));
    for (const POINT &pt : pts)
        SendMessageA(hwndView, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    if (fLoseMouse)
        SetCapture(hwndMain);
    SendMessageA(hwndView, WM_LBUTTONUP, 0, MAKELPARAM(pts.back().x, pts.back().y));
    Pump();
}

// A top-down 32-bit section, so that its bits are the pixels; the unused top byte is masked off.
Pixels DrawOnSurface(int cx, int cy, DWORD dwFill, const std::function<void(HDC)> &draw)
{
    BITMAPINFO bmi = {{sizeof(BITMAPINFOHEADER), cx, -cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    DWORD *pdwBits = NULL;
    HBITMAP hbm = CreateDIBSection(NULL, &bmi, DIB_RGB_COLORS, (void **)&pdwBits, NULL, 0);
    HDC hdc = CreateCompatibleDC(NULL);
    HGDIOBJ hbmOld = SelectObject(hdc, hbm);
    std::fill(pdwBits, pdwBits + cx * cy, dwFill);
    SetBkMode(hdc, TRANSPARENT);
    draw(hdc);
    GdiFlush();
    Pixels pixels(pdwBits, pdwBits + cx * cy);
    for (DWORD &dw : pixels)
        dw &= 0xFFFFFF;
    SelectObject(hdc, hbmOld);
    DeleteDC(hdc);
    DeleteObject(hbm);
    return pixels;
}

Pixels ReadFigure()
{
    return DrawOnSurface(cxCanvas, cyCanvas, 0,
                         [](HDC hdc) { BitBlt(hdc, 0, 0, cxCanvas, cyCanvas, hdcFigure, 0, 0, SRCCOPY); });
}

Pixels Overlay(Pixels frame, const Pixels &figure)
{
    for (size_t i = 0; i < frame.size() && i < figure.size(); i++)
        frame[i] = figure[i] == 0xFFFFFF ? frame[i] : figure[i];
    return frame;
}

::testing::AssertionResult SamePixels(const Pixels &actual, const Pixels &expected, int nTolerance)
{
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure() << actual.size() << " pixels where " << expected.size() << " were due";
    for (size_t i = 0; i < actual.size(); i++)
        for (int nShift = 0; nShift < 24; nShift += 8)
            if (abs((int)(actual[i] >> nShift & 0xFF) - (int)(expected[i] >> nShift & 0xFF)) > nTolerance)
                return ::testing::AssertionFailure()
                       << "the first differing pixel, of " << actual.size() << ", is " << i << ": " << std::hex
                       << actual[i] << " where " << expected[i] << " was due";
    return ::testing::AssertionSuccess();
}
