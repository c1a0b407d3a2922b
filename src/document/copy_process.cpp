// The working copy's child process. The parent waits in a loop of its own: paint, timers and sent messages go on,
// input is held back (no command may start while the document is being replaced) except Esc, which cancels. The
// child's progress is the growth of the copy on disk, shown in the status bar; a copy that stops growing for
// NO_PROGRESS_MS is taken for an endless loop. Writes no program-wide field.
#include "document/copy_process.h"

#include "app/format.h"
#include "bars/status_bar.h"
#include "document/avi_copy.h"
#include "document/compress_options.h"
#include "document/document_state.h"
#include "resources/resource.h"

#include <cstdlib>

static const char szCopySwitch[] = "/pelto-copy";
enum { NO_PROGRESS_MS = 5000, WAIT_STEP_MS = 50 };

static LONGLONG GetFileSizeOf(const char *pszPath)
{
    WIN32_FILE_ATTRIBUTE_DATA fad;
    if (!GetFileAttributesExA(pszPath, GetFileExInfoStandard, &fad))
        return -1;
    return (LONGLONG)fad.nFileSizeHigh << 32 | fad.nFileSizeLow;
}

static BOOL StartCopyProcess(const char *pszSource, const char *pszDest, PROCESS_INFORMATION *ppi)
{
    char szModule[MAX_PATH], szCommand[3 * MAX_PATH + 32];
    DWORD cch = GetModuleFileNameA(NULL, szModule, sizeof szModule);
    if (cch == 0 || cch >= sizeof szModule ||
        !FormatString(szCommand, sizeof szCommand, "\"%s\" %s \"%s\" \"%s\"", szModule, szCopySwitch, pszSource,
                      pszDest))
        return FALSE;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    return CreateProcessA(szModule, szCommand, NULL, NULL, FALSE, 0, NULL, NULL, &si, ppi);
}

// Serves everything but input while the child works; TRUE once Esc was pressed.
static BOOL ServeMessagesUntilEscape()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage((int)msg.wParam); // for the message loop, once the copy is over
            return TRUE;
        }
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)
            return TRUE;
        BOOL fInput = (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) ||
                      (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) ||
                      (msg.message >= WM_NCMOUSEMOVE && msg.message <= WM_NCXBUTTONDBLCLK);
        if (!fInput)
            DispatchMessageA(&msg);
    }
    return FALSE;
}

// Waits for the child: COPY_DONE when it ended with 0, COPY_CANCELLED on Esc, COPY_FAILED on anything else.
static CopyResult WaitForCopy(HANDLE hProcess, const char *pszDest)
{
    LONGLONG cbLast = -1;
    DWORD dwLastProgress = GetTickCount();
    ShowProgress(IDS_OPENING, 0);
    for (;;) {
        DWORD dwWait = MsgWaitForMultipleObjects(1, &hProcess, FALSE, WAIT_STEP_MS, QS_ALLINPUT);
        if (dwWait == WAIT_OBJECT_0) {
            DWORD dwExitCode = 1;
            GetExitCodeProcess(hProcess, &dwExitCode);
            return dwExitCode == 0 ? COPY_DONE : COPY_FAILED;
        }
        if (dwWait == WAIT_FAILED)
            return COPY_FAILED;
        if (ServeMessagesUntilEscape())
            return COPY_CANCELLED;
        LONGLONG cb = GetFileSizeOf(pszDest);
        if (cb != cbLast) {
            cbLast = cb;
            dwLastProgress = GetTickCount();
            ShowProgress(IDS_OPENING, (DWORD)(cb > 0 ? cb / 1024 : 0));
        } else if (GetTickCount() - dwLastProgress > NO_PROGRESS_MS) {
            return COPY_FAILED;
        }
    }
}

CopyResult CopyInChildProcess(const char *pszSource, const char *pszDest)
{
    PROCESS_INFORMATION pi = {};
    if (!StartCopyProcess(pszSource, pszDest, &pi))
        return COPY_FAILED;
    CloseHandle(pi.hThread);
    CopyResult result = WaitForCopy(pi.hProcess, pszDest);
    EndProgress();
    if (result != COPY_DONE) {
        // The child may still hold the copy open: it ends before the copy is deleted.
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, INFINITE);
        DeleteFileA(pszDest);
    }
    CloseHandle(pi.hProcess);
    return result;
}

BOOL RunCopySwitch(int *pnExitCode)
{
    if (__argc != 4 || lstrcmpA(__argv[1], szCopySwitch) != 0)
        return FALSE;
    // A fault in here ends this process quietly: the parent reports it.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    AVICOMPRESSOPTIONS aOptions[SLOT_COUNT] = {};
    LPAVICOMPRESSOPTIONS apOptions[SLOT_COUNT] = {&aOptions[SLOT_VIDEO], &aOptions[SLOT_AUDIO]};
    InitCompressOptions(apOptions, TRUE);
    AVIFileInit();
    *pnExitCode = CopyAviFile(__argv[2], __argv[3], apOptions, TRUE) ? 0 : 1;
    AVIFileExit();
    return TRUE;
}
