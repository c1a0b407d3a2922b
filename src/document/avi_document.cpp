// Opening and closing the document. The document holds editable streams of the first video and the
// first audio stream of a file (the working copy), so the file itself is released as soon as they are taken.
// A document is open exactly while pavisVideo is not null.
#include "document/avi_document.h"

#include "app/avi_streams.h"
#include "app/stage_times.h"
#include "app/title.h"
#include "bars/bar_layout.h"
#include "bars/trackbar.h"
#include "canvas/canvas_surfaces.h"
#include "canvas/view_window.h"
#include "document/document_state.h"
#include "document/frame_access.h"
#include "settings/recent_files.h"

#include <algorithm>

// Takes the first stream of each type as an editable stream into its slot; a stream that cannot be made
// editable leaves its slot empty.
static void TakeStreams(PAVIFILE pfile)
{
    PAVISTREAM apavis[SLOT_COUNT] = {};
    FindFirstStreams(pfile, apavis);
    for (int nSlot = 0; nSlot < SLOT_COUNT; nSlot++) {
        if (!apavis[nSlot])
            continue;
        if (CreateEditableStream(&apavisDocument[nSlot], apavis[nSlot]) != 0)
            apavisDocument[nSlot] = NULL;
        AVIStreamRelease(apavis[nSlot]);
    }
}

static void SetFrameSize()
{
    AVISTREAMINFOA si = {};
    AVIStreamInfoA(pavisVideo, &si, sizeof si);
    // A frame rectangle turned inside out is as empty as an empty one.
    cxFrame = cxCanvas = std::max(0L, si.rcFrame.right - si.rcFrame.left);
    cyFrame = cyCanvas = std::max(0L, si.rcFrame.bottom - si.rcFrame.top);
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
    int cy = rcMain.bottom - rcMain.top + GetBarsHeight();
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

BOOL OpenAviDocument(const char *pszPath)
{
    StageTimer timer(STAGE_DOCUMENT_OPEN);
    PAVIFILE pfile;
    if (AVIFileOpenA(&pfile, pszPath, OF_READ, NULL) != 0)
        return FALSE;
    CloseDocument();
    TakeStreams(pfile);
    AVIFileRelease(pfile);
    if (pavisVideo)
        SetFrameSize();
    // The surfaces are made before the window takes the frame's size: a frame too large for them is refused. So is
    // a sound whose format no player could take: it could be neither played nor saved.
    if (!pavisVideo || !SyncCanvasSize() || (pavisAudio && !IsUsableSound(pavisAudio))) {
        CloseDocument();
        return FALSE;
    }
    OpenFrameAccess();
    SetCurrentFile(szFileName);
    FitWindowToFrame();
    ComputeVideoEnd();
    ResetTrackbar();
    RepaintView();
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
    NoteOpenedFile(szFileName);
}
