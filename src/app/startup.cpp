// Start-up of the program: the two window classes, the main window, and the message loop whose
// idle step arms the frame timer during playback.
#include "app/startup.h"

#include "app/app_state.h"
#include "app/main_window.h"
#include "bars/status_bar.h"
#include "canvas/view_window.h"
#include "playback/frame_timer.h"
#include "settings/recent_files.h"
#include "resources/resource.h"

#include <commctrl.h>

#include <new>

ATOM RegisterMainClass(HINSTANCE hInstance)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = hInstance;
    wc.hIcon = LoadIcon(hInstance, MAKEINTRESOURCE(IDI_PELTO));
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszMenuName = MAKEINTRESOURCEA(IDR_MAINFRAME);
    wc.lpszClassName = szWindowClass;
    return RegisterClassExA(&wc);
}

static ATOM RegisterViewClass()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ViewWndProc;
    wc.lpszClassName = pszViewClass;
    return RegisterClassA(&wc);
}

static BYTE HasSystemHandCursor()
{
    OSVERSIONINFOA osvi = {};
    osvi.dwOSVersionInfoSize = sizeof osvi;
    if (!GetVersionExA(&osvi))
        return 0;
    return osvi.dwMajorVersion >= 5 && osvi.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

BOOL InitInstance(HINSTANCE hInstance, int nCmdShow)
{
    hInst = hInstance;
    fHasHandCursor = HasSystemHandCursor();

    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&icc);

    if (!RegisterViewClass())
        return FALSE;
    // Without memory for it the program runs without a recent file list.
    pRecentFileList = new (std::nothrow) RecentFileList;

    HWND hwnd = CreateWindowExA(0, szWindowClass, szAppTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0,
                                NULL, NULL, hInstance, NULL);
    if (!hwnd)
        return FALSE;
    ShowWindow(hwnd, nCmdShow);
    UpdateWindow(hwnd);
    return TRUE;
}

BOOL StartProgram(HINSTANCE hInstance, int nCmdShow)
{
    LoadStringA(hInstance, IDS_APP_TITLE, szAppTitle, sizeof szAppTitle);
    LoadStringA(hInstance, IDS_APP_CLASS, szWindowClass, sizeof szWindowClass);
    RegisterMainClass(hInstance);
    return InitInstance(hInstance, nCmdShow);
}

void EndProgram()
{
    delete pRecentFileList;
    pRecentFileList = NULL;
}

HACCEL LoadMainAccelerators()
{
    return LoadAcceleratorsA(hInst, MAKEINTRESOURCEA(IDR_MAINFRAME));
}

BOOL PumpMessages(HACCEL haccel, int *pnExitCode)
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            *pnExitCode = (int)msg.wParam;
            return FALSE;
        }
        if (!TranslateAcceleratorA(hwndMain, haccel, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return TRUE;
}

void RunIdleStep()
{
    UpdateCursorPane();
    if (fPlaying)
        ScheduleFrameTimer();
}

int RunMessageLoop(HACCEL haccel)
{
    int nExitCode = 0;
    while (PumpMessages(haccel, &nExitCode)) {
        RunIdleStep();
        WaitMessage();
    }
    return nExitCode;
}
