// Opening and closing the document. The document holds editable streams of the first video and the
// first audio stream of a file (the working copy), so the file itself is released as soon as they are taken.
// A document is open exactly while pavisVideo is not null.
#include "document/avi_document.h"

#include "app/main_window.h"
#include "app/message_box.h"
#include "app/title.h"
#include "bars/trackbar.h"
#include "canvas/view_window.h"
#include "document/document_state.h"
#include "document/frame_access.h"
#include "resources/resource.h"

#include <algorithm>

BYTE fTempDocument;
char szTempFile[MAX_PATH];

// At most this many streams of a file are looked at.
static const LONG MAX_STREAMS_SCANNED = 26;

int GetSlotOfType(DWORD fccType)
{
    if (fccType == streamtypeVIDEO)
        return SLOT_VIDEO;
    if (fccType == streamtypeAUDIO)
        return SLOT_AUDIO;
    return -1;
}

static void SetFrameSize(const RECT &rcFrame)
{
    // A frame rectangle turned inside out is as empty as an empty one.
    cxFrame = cxCanvas = std::max(0L, rcFrame.right - rcFrame.left);
    cyFrame = cyCanvas = std::max(0L, rcFrame.bottom - rcFrame.top);
}

// Takes the first stream of each slot's type into the slot. FALSE when an editable stream cannot be made.
static BOOL TakeStream(PAVISTREAM pavis)
{
    AVISTREAMINFOA si = {};
    AVIStreamInfoA(pavis, &si, sizeof si);
    int nSlot = GetSlotOfType(si.fccType);
    if (nSlot < 0 || apavisDocument[nSlot])
        return TRUE;
    if (CreateEditableStream(&apavisDocument[nSlot], pavis) != 0) {
        apavisDocument[nSlot] = NULL;
        return FALSE;
    }
    if (nSlot == SLOT_VIDEO)
        SetFrameSize(si.rcFrame);
    return TRUE;
}

static void ComputeVideoEnd()
{
    lFrameCount = AVIStreamLength(pavisVideo) + AVIStreamStart(pavisVideo);
    lVideoEndTime = AVIStreamSampleToTime(pavisVideo, lFrameCount);
}

// Sizes the main window so that the view's client area is exactly the canvas.
static void FitWindowToFrame()
{
    RECT rcView = {0, 0, cxCanvas, cyCanvas};
    AdjustWindowRectEx(&rcView, WS_CHILD | WS_VISIBLE, FALSE, WS_EX_CLIENTEDGE);
    RECT rcMain = {0, 0, rcView.right - rcView.left, rcView.bottom - rcView.top};
    AdjustWindowRectEx(&rcMain, WS_OVERLAPPEDWINDOW, TRUE, 0);
    int cy = rcMain.bottom - rcMain.top;
    cy += GetWindowHeight(hwndStatus) + GetWindowHeight(hwndToolbarPlay) + GetWindowHeight(hwndTrackbar) +
          GetWindowHeight(hwndRebar);
    SetWindowPos(hwndMain, NULL, 0, 0, rcMain.right - rcMain.left, cy, SWP_NOMOVE | SWP_NOZORDER);

    // A window held wider than a narrow frame by its least width, or whose menu bar wraps, ends up with a
    // view of another height: the main window takes the difference, a few times at most, since the
    // menu bar may wrap anew at each height.
    for (int nPass = 0; nPass < 3; nPass++) {
        RECT rcClient;
        GetClientRect(hwndView, &rcClient);
        int cyMissing = cyCanvas - rcClient.bottom;
        if (cyMissing == 0 || rcClient.right < cxCanvas)
            break;
        cy += cyMissing;
        SetWindowPos(hwndMain, NULL, 0, 0, rcMain.right - rcMain.left, cy, SWP_NOMOVE | SWP_NOZORDER);
    }
}

static void ReadStreams(PAVIFILE pfile, const char *pszUserPath)
{
    pavisVideo = pavisAudio = NULL;
    for (LONG n = 0; n < MAX_STREAMS_SCANNED; n++) {
        PAVISTREAM pavis;
        if (AVIFileGetStream(pfile, &pavis, 0, n) != 0)
            break;
        BOOL fTaken = TakeStream(pavis);
        AVIStreamRelease(pavis);
        if (!fTaken || (pavisVideo && pavisAudio))
            break;
    }
    AVIFileRelease(pfile);

    if (!pavisVideo) {
        ShowFormattedMessage(IDS_CANNOT_OPEN, MB_OK | MB_ICONEXCLAMATION, pszUserPath);
        return;
    }
    CloseFrameAccess();
    OpenFrameAccess();
    SetCurrentFile(szFileName);
    FitWindowToFrame();
    SyncCanvasSize();
    ComputeVideoEnd();
    ResetTrackbar();
    InvalidateRect(hwndView, NULL, FALSE);
    UpdateWindow(hwndView);
}

BOOL OpenAviDocument(const char *pszPath, const char *pszUserPath)
{
    PAVIFILE pfile;
    if (AVIFileOpenA(&pfile, pszPath, OF_READ, NULL) != 0)
        return FALSE;
    CloseDocument();
    ReadStreams(pfile, pszUserPath);
    return TRUE;
}

static void ReleaseStreams()
{
    CloseFrameAccess();
    for (int nSlot = 0; nSlot < SLOT_COUNT; nSlot++) {
        if (!apavisDocument[nSlot])
            continue;
        AVISaveOptionsFree(1, &apCompressOptions[nSlot]);
        AVIStreamRelease(apavisDocument[nSlot]);
        apavisDocument[nSlot] = NULL;
    }
}

void CloseDocument()
{
    ReleaseStreams();
    if (fTempDocument) {
        DeleteFileA(szTempFile);
        szTempFile[0] = '\0';
        fTempDocument = 0;
    }
    nFigureStart = nFigureEnd = -1;
}

void SetCurrentFile(const char *pszPath)
{
    if (pszPath != szFileName)
        lstrcpynA(szFileName, pszPath, sizeof szFileName);
    char szFolder[MAX_PATH];
    char *pszName = NULL;
    DWORD cch = GetFullPathNameA(szFileName, sizeof szFolder, szFolder, &pszName);
    if (cch > 0 && cch < sizeof szFolder && pszName) {
        *pszName = '\0';
        SetCurrentDirectoryA(szFolder);
    }
    UpdateTitle();
}
