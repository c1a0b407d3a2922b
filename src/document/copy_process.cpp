// The working copy's child process. The parent waits as long work: painted, answering, Esc cancelling. The
// child's progress is the growth of the copy on disk, shown in the status bar; a copy that stops growing for
// NO_PROGRESS_MS is taken for an endless loop. Writes no program-wide field.
#include "document/copy_process.h"

#include "app/format.h"
#include "app/long_work.h"
#include "app/stage_times.h"
#include "document/avi_copy.h"
#include "document/compress_options.h"
#include "document/cut_repair.h"
#include "document/document_state.h"
#include "resources/resource.h"

#include <shlwapi.h>

#include <cstdlib>

static const char szCopySwitch[] = "/pelto-copy";
enum { NO_PROGRESS_MS = 5000, WAIT_STEP_MS = 50 };
// The child's exit codes; a refusal for size adds its verdict.
static const DWORD EXIT_COPIED = 0, EXIT_FAILED = 1, EXIT_REFUSED = 16;

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

// Waits for the child: COPY_DONE when it ended with 0, COPY_CANCELLED on Esc, COPY_FAILED on anything else, with
// the size verdict of a child that refused the copy.
static CopyResult WaitForCopy(HANDLE hProcess, const char *pszDest, SizeVerdict *pVerdict)
{
    LONGLONG cbLast = -1;
    DWORD dwLastProgress = GetTickCount();
    for (;;) {
        DWORD dwWait = MsgWaitForMultipleObjects(1, &hProcess, FALSE, WAIT_STEP_MS, QS_ALLINPUT);
        if (dwWait == WAIT_OBJECT_0) {
            DWORD dwExitCode = EXIT_FAILED;
            GetExitCodeProcess(hProcess, &dwExitCode);
            if (dwExitCode == EXIT_REFUSED + (DWORD)SIZE_TOO_LARGE || dwExitCode == EXIT_REFUSED + (DWORD)SIZE_NO_ROOM)
                *pVerdict = (SizeVerdict)(dwExitCode - EXIT_REFUSED);
            return dwExitCode == EXIT_COPIED ? COPY_DONE : COPY_FAILED;
        }
        if (dwWait == WAIT_FAILED)
            return COPY_FAILED;
        LONGLONG cb = GetFileSizeOf(pszDest);
        if (!ContinueLongWork((DWORD)(cb > 0 ? cb / 1024 : 0)))
            return COPY_CANCELLED;
        if (cb != cbLast) {
            cbLast = cb;
            dwLastProgress = GetTickCount();
        } else if (GetTickCount() - dwLastProgress > NO_PROGRESS_MS) {
            return COPY_FAILED;
        }
    }
}

// Runs the child on pszSource and waits for it; whatever it left at pszDest is deleted unless it is COPY_DONE.
static CopyResult RunCopyProcess(const char *pszSource, const char *pszDest, SizeVerdict *pVerdict)
{
    StageTimer timer(STAGE_COPY_PROCESS);
    PROCESS_INFORMATION pi = {};
    if (!StartCopyProcess(pszSource, pszDest, &pi))
        return COPY_FAILED;
    CloseHandle(pi.hThread);
    CopyResult result = WaitForCopy(pi.hProcess, pszDest, pVerdict);
    if (result != COPY_DONE) {
        // The child may still hold the copy open: it ends before the copy is deleted.
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, INFINITE);
        DeleteFileA(pszDest);
    }
    CloseHandle(pi.hProcess);
    return result;
}

CopyResult CopyInChildProcess(const char *pszSource, const char *pszDest, SizeVerdict *pVerdict)
{
    *pVerdict = SIZE_FITS;
    // A file cut short is read from a whole copy of what it holds, beside the working copy.
    char szWhole[MAX_PATH];
    lstrcpynA(szWhole, pszDest, sizeof szWhole - 4);
    PathRenameExtensionA(szWhole, ".CUT");
    BeginLongWork(IDS_OPENING);
    CutRepair repair = RepairCutFile(pszSource, szWhole);
    CopyResult result = repair == CUT_FAILED
                            ? COPY_FAILED
                            : RunCopyProcess(repair == CUT_REPAIRED ? szWhole : pszSource, pszDest, pVerdict);
    if (EndLongWork() && result != COPY_DONE)
        result = COPY_CANCELLED;
    DeleteFileA(szWhole);
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
    SizeVerdict verdict = SIZE_FITS;
    BOOL fOk = CopyAviFile(__argv[2], __argv[3], apOptions, TRUE, &verdict);
    *pnExitCode = (int)(fOk ? EXIT_COPIED : verdict == SIZE_FITS ? EXIT_FAILED : EXIT_REFUSED + (DWORD)verdict);
    AVIFileExit();
    return TRUE;
}
