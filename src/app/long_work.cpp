// One piece of long work at a time. Paint, timers and sent messages are served; keyboard and mouse input is thrown
// away, except Esc, which cancels. A WM_QUIT is put back for the message loop. Messages and progress are looked
// after every SERVE_EVERY_MS at most: each look costs trips to the window server, which a save of small frames
// would otherwise pay per frame.
#include "app/long_work.h"

#include "bars/status_bar.h"

enum { SERVE_EVERY_MS = 20 };

static UINT idWorkFormat; // 0 while no long work runs
static int nWorkStage, cWorkStages;
static DWORD dwShownAmount, dwLastServed;
static BOOL fWorkCancelled;

void BeginLongWork(UINT idFormat, int cStages)
{
    idWorkFormat = idFormat;
    nWorkStage = 0;
    cWorkStages = cStages;
    dwShownAmount = 0;
    dwLastServed = GetTickCount() - SERVE_EVERY_MS;
    fWorkCancelled = FALSE;
    ShowProgress(idFormat, 0);
}

void NextLongWorkStage()
{
    nWorkStage++;
}

static BOOL IsInputMessage(UINT uMsg)
{
    return (uMsg >= WM_KEYFIRST && uMsg <= WM_KEYLAST) || (uMsg >= WM_MOUSEFIRST && uMsg <= WM_MOUSELAST) ||
           (uMsg >= WM_NCMOUSEMOVE && uMsg <= WM_NCXBUTTONDBLCLK);
}

// TRUE once Esc was pressed or the program was asked to quit.
static BOOL ServeMessagesUntilCancel()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage((int)msg.wParam);
            return TRUE;
        }
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)
            return TRUE;
        if (!IsInputMessage(msg.message))
            DispatchMessageA(&msg);
    }
    return FALSE;
}

BOOL ContinueLongWork(DWORD dwAmount)
{
    if (!idWorkFormat)
        return TRUE;
    DWORD dwNow = GetTickCount();
    if (dwNow - dwLastServed < SERVE_EVERY_MS)
        return !fWorkCancelled;
    dwLastServed = dwNow;
    if (ServeMessagesUntilCancel())
        fWorkCancelled = TRUE;
    if (dwAmount != dwShownAmount) {
        dwShownAmount = dwAmount;
        ShowProgress(idWorkFormat, dwAmount);
    }
    return !fWorkCancelled;
}

BOOL ContinueLongWorkPart(LONG lDone, LONG lTotal)
{
    ULONGLONG nPart = lTotal > 0 ? (ULONGLONG)lDone * 100 / (ULONGLONG)lTotal : 0;
    return ContinueLongWork(cWorkStages > 0 ? (DWORD)((nWorkStage * 100ull + nPart) / (ULONGLONG)cWorkStages) : 0);
}

BOOL IsLongWorkRunning()
{
    return idWorkFormat != 0;
}

BOOL EndLongWork()
{
    idWorkFormat = 0;
    EndProgress();
    return fWorkCancelled;
}
