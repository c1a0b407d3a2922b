// The application state: every program-wide field, with the unit it holds and who writes it.
// Fields that the frame timer's thread reads or writes are std::atomic of the field's type.
#pragma once

#include <windows.h>
#include <vfw.h>

#include <atomic>

class RecentFileList;

// Tools of the drawing toolbar, the values of nTool.
enum {
    TOOL_PEN,
    TOOL_LINE,
    TOOL_RECT,
    TOOL_ELLIPSE,
    TOOL_FILLRECT,
    TOOL_FILLELLIPSE,
    TOOL_ERASER,
    TOOL_TEXT,
};

// Stream slots of the document: always walked video first.
enum { SLOT_VIDEO, SLOT_AUDIO, SLOT_COUNT };

// Instance, windows and constant names.
extern HINSTANCE hInst;                  // instance of the program; written by InitInstance
extern HWND hwndMain;                    // main window; written by its WM_CREATE
extern HWND hwndView;                    // view window (child 105); written by the main window's WM_CREATE
extern HWND hwndRebar;                   // rebar at the top (child 106)
extern HWND hwndToolbarStd;              // standard toolbar in the rebar
extern HWND hwndToolbarDraw;             // drawing toolbar in the rebar
extern HWND hwndToolbarPlay;             // playback toolbar above the status bar (child 100)
extern HWND hwndTrackbar;                // position trackbar
extern HWND hwndStatus;                  // status bar
extern char szAppTitle[100];             // string 103, the main window's text at creation; loaded by WinMain
extern char szWindowClass[100];          // string 109, class name of the main window; loaded by WinMain
extern const char *const pszAppName;     // "Pelto": caption of every message box, suffix of the title
extern const char *const pszViewClass;   // class name of the view window
extern const char *const pszRegistryKey; // settings key under HKEY_CURRENT_USER
extern BYTE fHasHandCursor;              // the system supplies IDC_HAND; written by InitInstance
extern RecentFileList *pRecentFileList;  // recent file list of the File menu; null while there is none

// Document.
extern char szFileName[MAX_PATH];             // path of the user's file of the open document; empty when none
extern PAVISTREAM apavisDocument[SLOT_COUNT]; // editable streams of the open document, by slot
inline PAVISTREAM &pavisVideo = apavisDocument[SLOT_VIDEO]; // a file is open exactly when this is not null
inline PAVISTREAM &pavisAudio = apavisDocument[SLOT_AUDIO]; // null when the file has no sound
extern PGETFRAME pgfVideo;                                  // frame decompression of the video stream
extern HDRAWDIB hddVideo;                                   // DrawDib context that draws the frames
extern LONG cxFrame, cyFrame;                               // frame size in pixels
extern LONG cxCanvas, cyCanvas;                             // canvas size: the frame size, each at least 1
extern LONG lFrameCount;                                    // start plus length of the video stream, in frames
extern LONG lVideoEndTime;                                  // end of the video stream, milliseconds
extern BYTE fModified;                                      // the figure changed since it was last saved
extern BYTE fCanUndo;                                       // hdcUndo holds the figure as before the last drawing

// Position and figure range. Times in milliseconds on the streams' common axis.
extern std::atomic<LONG> lCurTime;   // position of the document; the frame timer moves it too
extern std::atomic<LONG> lStartTime; // earliest start over the open streams
extern std::atomic<LONG> lEndTime;   // latest end over the open streams
extern LONG lCurFrame;               // video frame last drawn in the view; written at every paint
extern LONG nFigureStart;            // first frame that receives the figure; -1 when not set
extern LONG nFigureEnd;              // last frame that receives the figure; -1 when not set

// Playback.
extern std::atomic<BOOL> fPlaying;         // playback is on; written by Play and Stop
extern std::atomic<LONG> lPlayStartTime;   // lCurTime when Play ran
extern std::atomic<DWORD> dwPlayStartTick; // timeGetTime() when Play ran
extern std::atomic<BYTE> fTimerPending;    // a frame timer is armed; set by the idle step, cleared by the timer

// Drawing.
extern int nTool;                                    // current tool, TOOL_PEN to TOOL_TEXT
extern COLORREF crColor;                             // drawing colour
extern int nPenWidth;                                // pen width in pixels
extern COLORREF acrCustColors[16];                   // custom colours of the colour dialog
extern HDC hdcFigure, hdcWork, hdcMask, hdcUndo;     // overlay surfaces, each the size of a frame
extern HBITMAP hbmFigure, hbmWork, hbmMask, hbmUndo; // their bitmaps
extern HPEN hPen, hPenEraser;                        // pen of the tools, selected into hdcFigure; the eraser's pen
extern HBRUSH hBrush;                                // brush of the filled shapes
extern char szText[256]; // the text last confirmed in the text dialog, offered again next time
extern LOGFONTA lfText;  // the text tool's font, remembered in "Font"
