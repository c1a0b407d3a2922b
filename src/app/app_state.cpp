// Definitions of the application state with its initial values.
#include "app/app_state.h"

HINSTANCE hInst;
HWND hwndMain;
HWND hwndView;
HWND hwndRebar;
HWND hwndToolbarStd;
HWND hwndToolbarDraw;
HWND hwndToolbarPlay;
HWND hwndTrackbar;
HWND hwndStatus;
char szAppTitle[100];
char szWindowClass[100];
const char *const pszAppName = "Pelto";
const char *const pszViewClass = "PeltoedtView";
const char *const pszRegistryKey = "Software\\Norbek\\Pelto";
BYTE fHasHandCursor;
RecentFileList *pRecentFileList;

char szFileName[MAX_PATH];
PAVISTREAM apavisDocument[SLOT_COUNT];
PGETFRAME pgfVideo;
HDRAWDIB hddVideo;
LONG cxFrame, cyFrame;
LONG cxCanvas, cyCanvas;
LONG lFrameCount;
LONG lVideoEndTime;
BYTE fModified;
BYTE fCanUndo;

std::atomic<LONG> lCurTime;
std::atomic<LONG> lStartTime;
std::atomic<LONG> lEndTime;
LONG lCurFrame;
LONG nFigureStart = -1;
LONG nFigureEnd = -1;

std::atomic<BOOL> fPlaying;
std::atomic<LONG> lPlayStartTime;
std::atomic<DWORD> dwPlayStartTick;
std::atomic<BYTE> fTimerPending;

int nTool = TOOL_PEN;
COLORREF crColor = RGB(0, 0, 0);
int nPenWidth = 1;
COLORREF acrCustColors[16] = {
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
};
HDC hdcFigure, hdcWork, hdcMask, hdcUndo;
HBITMAP hbmFigure, hbmWork, hbmMask, hbmUndo;
HPEN hPen, hPenEraser;
HBRUSH hBrush;
char szText[256];
LOGFONTA lfText;
