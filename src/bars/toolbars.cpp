// The toolbars and the rebar: creation from the button tables, and the rebar's layout, read once at creation from
// "SecondBar" and "cxRebarPos" and written once at destruction. A bar that cannot be made is simply absent.
// Writes hwndToolbarPlay, hwndRebar, hwndToolbarStd and hwndToolbarDraw.
#include "bars/toolbars.h"

#include "app/app_state.h"
#include "bars/toolbar_tables.h"
#include "resources/resource.h"
#include "settings/registry.h"

// Which band the rebar shows first: 0 the drawing bar, 1 the standard bar, any other value no bands.
static int nSecondBar;

enum { BAR_IMAGES_STD = 15, BAR_IMAGES_VIEW = 12, PLAY_BAR_IMAGES = 8, DRAW_BAR_IMAGES = 10 };
enum { BAR_IMAGE_CX = 16, BAR_IMAGE_CY = 15, DEFAULT_BAND_LENGTH = 150, DRAW_BAND_LENGTH = 250 };

static const DWORD dwBandBarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | TBSTYLE_FLAT |
                                    TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE;

static void AddBarImages(HWND hwndBar, HINSTANCE hinst, UINT_PTR nId, int cImages)
{
    TBADDBITMAP tbab = {hinst, nId};
    SendMessageA(hwndBar, TB_ADDBITMAP, cImages, (LPARAM)&tbab);
}

// The image index of a row: our bitmap's images follow the platform's sets on the bar.
static int GetRowImage(const BarCommand &row, BOOL fPlayBar)
{
    if (row.bKind == 1)
        return row.iImage;
    if (row.bKind == 2)
        return fPlayBar ? row.iImage + BAR_IMAGES_STD : row.iImage;
    return row.iImage + (fPlayBar ? BAR_IMAGES_STD + BAR_IMAGES_VIEW : BAR_IMAGES_STD);
}

static TBBUTTON MakeListButton(const BarCommand *pRows, BYTE bIndex, BOOL fPlayBar)
{
    TBBUTTON tbb = {};
    tbb.fsState = TBSTATE_ENABLED;
    if (bIndex == BAR_SEPARATOR) {
        tbb.fsStyle = BTNS_SEP;
    } else {
        tbb.iBitmap = GetRowImage(pRows[bIndex], fPlayBar);
        tbb.idCommand = pRows[bIndex].idCommand;
    }
    return tbb;
}

static void LoadBarButtons(HWND hwndBar, const BarCommand *pRows, const BYTE *pbList, BOOL fPlayBar)
{
    while (SendMessageA(hwndBar, TB_DELETEBUTTON, 0, 0))
        ;
    TBBUTTON atbb[80];
    UINT cButtons = 0;
    for (; pbList[cButtons] != BAR_END && cButtons < sizeof atbb / sizeof atbb[0]; cButtons++)
        atbb[cButtons] = MakeListButton(pRows, pbList[cButtons], fPlayBar);
    SendMessageA(hwndBar, TB_ADDBUTTONSA, cButtons, (LPARAM)atbb);
}

static HWND CreateBarWindow(DWORD dwStyle, UINT nId)
{
    HWND hwndBar =
        CreateWindowExA(0, TOOLBARCLASSNAMEA, NULL, dwStyle, 0, 0, 0, 0, hwndMain, (HMENU)(UINT_PTR)nId, hInst, NULL);
    if (hwndBar)
        SendMessageA(hwndBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    return hwndBar;
}

BOOL GetPlayBarButton(NMTOOLBARA *pnmtb)
{
    int cButtons = 0;
    while (abPlayBarList[cButtons] != BAR_END)
        cButtons++;
    if (pnmtb->iItem < 0 || pnmtb->iItem >= cButtons)
        return FALSE;
    pnmtb->tbButton = MakeListButton(aPlayBarCommands, abPlayBarList[pnmtb->iItem], TRUE);
    pnmtb->cchText = 0;
    return TRUE;
}

static BOOL IsPlayBarCommand(DWORD dwCommand)
{
    for (const BarCommand &row : aPlayBarCommands)
        if (row.idCommand == dwCommand)
            return TRUE;
    return FALSE;
}

// The platform's toolbar stores one 4-byte record a button: its command, or 0 for a separator. A state of
// another kind (another platform's format, a damaged value) would leave the bar empty or without images, so
// only a state made of our own buttons is handed to the restore.
static BOOL IsPlayBarStateUsable(HKEY hkey)
{
    DWORD adwState[80];
    DWORD cb = ReadBinaryUpTo(hkey, "ToolBarState", adwState, sizeof adwState);
    if (cb == 0 || cb % sizeof adwState[0] != 0)
        return FALSE;
    BOOL fHasButton = FALSE;
    for (DWORD i = 0; i < cb / sizeof adwState[0]; i++) {
        if (adwState[i] != 0 && !IsPlayBarCommand(adwState[i]))
            return FALSE;
        fHasButton |= adwState[i] != 0;
    }
    return fHasButton;
}

static void RestorePlayBarState()
{
    HKEY hkey = OpenSettingsKey();
    BOOL fRestore = ReadDword(hkey, "ToolBarVersion", 0) == 1 && IsPlayBarStateUsable(hkey);
    if (hkey)
        RegCloseKey(hkey);
    if (!fRestore)
        return;
    TBSAVEPARAMSA tbsp = {HKEY_CURRENT_USER, pszRegistryKey, "ToolBarState"};
    SendMessageA(hwndToolbarPlay, TB_SAVERESTORE, FALSE, (LPARAM)&tbsp);
}

BOOL CreatePlayBar()
{
    hwndToolbarPlay = CreateBarWindow(WS_CHILD | TBSTYLE_TOOLTIPS | CCS_ADJUSTABLE | CCS_TOP, IDC_PLAYBAR);
    if (!hwndToolbarPlay)
        return FALSE;
    SendMessageA(hwndToolbarPlay, TB_SETBUTTONSIZE, 0, MAKELONG(22, 22));
    SetWindowLongA(hwndToolbarPlay, GWL_STYLE,
                   WS_CHILD | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_ADJUSTABLE | CCS_NOPARENTALIGN | CCS_NOMOVEY);
    AddBarImages(hwndToolbarPlay, HINST_COMMCTRL, IDB_STD_SMALL_COLOR, BAR_IMAGES_STD);
    AddBarImages(hwndToolbarPlay, HINST_COMMCTRL, IDB_VIEW_SMALL_COLOR, BAR_IMAGES_VIEW);
    AddBarImages(hwndToolbarPlay, hInst, IDB_PLAYBAR, PLAY_BAR_IMAGES);
    LoadBarButtons(hwndToolbarPlay, aPlayBarCommands, abPlayBarList, TRUE);
    SendMessageA(hwndToolbarPlay, TB_SETINDENT, 5, 0);
    RestorePlayBarState();
    SendMessageA(hwndToolbarPlay, TB_AUTOSIZE, 0, 0);
    ShowWindow(hwndToolbarPlay, SW_SHOW);
    return TRUE;
}

static BOOL InsertBand(REBARBANDINFOA *prbbi, HWND hwndBar, UINT nId, int cxLength, int cxDefault)
{
    prbbi->hwndChild = hwndBar;
    prbbi->wID = nId;
    prbbi->cxMinChild = 0;
    prbbi->cyMinChild = HIWORD(SendMessageA(hwndBar, TB_GETBUTTONSIZE, 0, 0));
    prbbi->cx = cxLength ? cxLength : cxDefault;
    return (BOOL)SendMessageA(hwndRebar, RB_INSERTBANDA, (WPARAM)-1, (LPARAM)prbbi);
}

static BOOL InsertStdBand(REBARBANDINFOA *prbbi, int cxLength)
{
    hwndToolbarStd = CreateBarWindow(dwBandBarStyle, IDC_STDBAR);
    if (!hwndToolbarStd)
        return FALSE;
    AddBarImages(hwndToolbarStd, HINST_COMMCTRL, IDB_STD_SMALL_COLOR, BAR_IMAGES_STD);
    AddBarImages(hwndToolbarStd, hInst, IDB_STDBAR, 1);
    LoadBarButtons(hwndToolbarStd, aStdBarCommands, abStdBarList, FALSE);
    return InsertBand(prbbi, hwndToolbarStd, IDC_STDBAR, cxLength, DEFAULT_BAND_LENGTH);
}

static BOOL InsertDrawBand(REBARBANDINFOA *prbbi, int cxLength)
{
    hwndToolbarDraw =
        CreateToolbarEx(hwndMain, dwBandBarStyle, IDC_DRAWBAR, DRAW_BAR_IMAGES, hInst, IDB_DRAWBAR, atbDrawButtons,
                        DRAW_BAR_BUTTONS, 0, 0, BAR_IMAGE_CX, BAR_IMAGE_CY, sizeof(TBBUTTON));
    if (!hwndToolbarDraw)
        return FALSE;
    return InsertBand(prbbi, hwndToolbarDraw, IDC_DRAWBAR, cxLength, DRAW_BAND_LENGTH);
}

// The first band takes the stored length; a length of 0 puts the second band on a row of its own.
static void InsertBands(int cxFirst)
{
    REBARBANDINFOA rbbi = {};
    rbbi.cbSize = sizeof rbbi;
    rbbi.fMask = RBBIM_STYLE | RBBIM_COLORS | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_BACKGROUND | RBBIM_ID;
    rbbi.fStyle = RBBS_CHILDEDGE;
    rbbi.clrBack = GetSysColor(COLOR_BTNFACE);
    if (cxFirst == 0)
        rbbi.fStyle |= RBBS_BREAK;
    if (nSecondBar == 0) {
        InsertDrawBand(&rbbi, cxFirst);
        InsertStdBand(&rbbi, 0);
    } else if (nSecondBar == 1) {
        InsertStdBand(&rbbi, cxFirst);
        InsertDrawBand(&rbbi, 0);
    }
}

void CreateRebar()
{
    int cxFirst = 0;
    HKEY hkey = OpenSettingsKey();
    if (hkey) {
        nSecondBar = (int)ReadDword(hkey, "SecondBar", 0);
        cxFirst = (int)ReadDword(hkey, "cxRebarPos", DEFAULT_BAND_LENGTH);
        RegCloseKey(hkey);
    }
    hwndRebar = CreateWindowExA(WS_EX_TOOLWINDOW, REBARCLASSNAMEA, NULL,
                                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_BORDER | RBS_VARHEIGHT |
                                    RBS_BANDBORDERS,
                                0, 0, 0, 0, hwndMain, (HMENU)IDC_REBAR, hInst, NULL);
    if (!hwndRebar)
        return;
    REBARINFO rbi = {sizeof rbi, 0, NULL};
    if (SendMessageA(hwndRebar, RB_SETBARINFO, 0, (LPARAM)&rbi))
        InsertBands(cxFirst);
}

void SaveRebarLayout()
{
    REBARBANDINFOA rbbi = {};
    rbbi.cbSize = sizeof rbbi;
    rbbi.fMask = RBBIM_ID;
    if (SendMessageA(hwndRebar, RB_GETBANDINFOA, 0, (LPARAM)&rbbi)) {
        if (rbbi.wID == IDC_STDBAR)
            nSecondBar = 1;
        else if (rbbi.wID == IDC_DRAWBAR)
            nSecondBar = 0;
    }
    // The first band's own length while the second shares its row (the second band's left edge would add the
    // band border at every run); 0 puts the second band on a row of its own again.
    RECT rcFirst, rcSecond;
    BOOL fHasBands = SendMessageA(hwndRebar, RB_GETRECT, 0, (LPARAM)&rcFirst) &&
                     SendMessageA(hwndRebar, RB_GETRECT, 1, (LPARAM)&rcSecond);
    HKEY hkey = OpenSettingsKey();
    if (!hkey)
        return;
    WriteDword(hkey, "SecondBar", (DWORD)nSecondBar);
    // Without two bands there is no length to keep: the stored one stays for a later start.
    if (fHasBands)
        WriteDword(hkey, "cxRebarPos", rcSecond.left > 0 ? (DWORD)(rcFirst.right - rcFirst.left) : 0);
    RegCloseKey(hkey);
}
