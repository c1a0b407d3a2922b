// Tools, figure commands and tool dialogs: the figure holds what the platform draws with the chosen pen, brush, font.
#include "support/harness.h"

#include "app/app_state.h"
#include "canvas/figure_commands.h"
#include "resources/resource.h"

#include <commctrl.h>

#include <set>

struct Stroke {
    int nTool, nWidth;
    COLORREF cr;
    std::vector<POINT> pts; // pressed at the first, released at the last
};
const COLORREF crRed = RGB(220, 20, 30), crBlue = RGB(10, 40, 200), crBlack = RGB(0, 0, 0);

// What the strokes leave on a white figure: the eraser is a white pen 10 wide; pen and line dot the points they reach.
static Pixels DrawStrokes(const Stroke *pFirst, const Stroke *pEnd)
{
    return DrawOnSurface(cxCanvas, cyCanvas, 0xFFFFFF, [&](HDC hdc) {
        for (const Stroke &s : std::vector<Stroke>(pFirst, pEnd)) {
            bool fErase = s.nTool == TOOL_ERASER, fFill = s.nTool == TOOL_FILLRECT || s.nTool == TOOL_FILLELLIPSE;
            HGDIOBJ hpenOld = SelectObject(hdc, CreatePen(PS_SOLID, fErase ? 10 : s.nWidth, fErase ? 0xFFFFFF : s.cr));
            HGDIOBJ hbrOld = SelectObject(hdc, fFill ? CreateSolidBrush(s.cr) : GetStockObject(NULL_BRUSH));
            const POINT &a = s.pts.front(), &b = s.pts.back();
            std::vector<POINT> path = s.nTool == TOOL_LINE ? std::vector<POINT>{a, b} : s.pts;
            if (s.nTool >= TOOL_RECT && s.nTool <= TOOL_FILLELLIPSE)
                (s.nTool == TOOL_ELLIPSE || s.nTool == TOOL_FILLELLIPSE ? Ellipse : Rectangle)(hdc, a.x, a.y, b.x, b.y);
            else
                Polyline(hdc, path.data(), (int)path.size());
            for (size_t i = s.nTool == TOOL_LINE; i < path.size() && s.nTool <= TOOL_LINE; i++)
                SetPixel(hdc, path[i].x, path[i].y, s.cr);
            DeleteObject(SelectObject(hdc, hbrOld));
            DeleteObject(SelectObject(hdc, hpenOld));
        }
    });
}

// Whether the settings key holds the value, with its type and size.
template <typename T> static bool IsStored(const char *pszName, DWORD dwType, const T &v)
{
    T stored;
    DWORD dwStoredType = 0, cb = sizeof stored;
    LSTATUS ls = RegGetValueA(HKEY_CURRENT_USER, pszRegistryKey, pszName, RRF_RT_ANY, &dwStoredType, &stored, &cb);
    return ls == ERROR_SUCCESS && dwStoredType == dwType && cb == sizeof v && memcmp(&stored, &v, sizeof v) == 0;
}

using ToolsTest = ProgramTest;

// The settings a previous run left, a blue pen 25 wide and a bold font, apply at start; the dialogs set and store
// colour and width, freeing the old pen and brush. Each drag, wandering off the view, is one undo step; the mouse lost
// before the release keeps only what pen or eraser drew. Copy keeps the undo copy, cut leaves white without one, both
// refused while another window holds the clipboard; paste marks the figure, drops the undo copy and merges any bitmap
// from the top-left, its white letting the figure through.
TEST_F(ToolsTest, StrokesTextAndTheClipboardLandInTheFigureAsThePlatformDrawsThem)
{
    const LOGFONTA lfStored = {-30, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "IPAGothic"};
    DWORD dwWidth = 25, dwColor = crBlue;
    CloseProgram();
    RegSetKeyValueA(HKEY_CURRENT_USER, pszRegistryKey, "PenWidth", REG_DWORD, &dwWidth, sizeof dwWidth);
    RegSetKeyValueA(HKEY_CURRENT_USER, pszRegistryKey, "Color", REG_DWORD, &dwColor, sizeof dwColor);
    RegSetKeyValueA(HKEY_CURRENT_USER, pszRegistryKey, "Font", REG_BINARY, &lfStored, sizeof lfStored);
    RestartProgram();
    OpenPattern(160, 120, 3);
    EXPECT_EQ(memcmp(&lfText, &lfStored, sizeof lfText), 0) << "not the stored font";
    const std::vector<Stroke> strokes = {
        {TOOL_LINE, 25, crBlue, {{80, 5}, {80, 115}}}, // with the stored pen
        {TOOL_PEN, 1, crRed, {{10, 10}, {60, 14}, {64, 70}, {12, 50}, {13, 49}}},
        {TOOL_PEN, 4, crBlue, {{20, 100}, {-25, 40}, {80, -20}, {150, 90}}},
        {TOOL_LINE, 3, RGB(12, 34, 56), {{175, 100}, {150, 110}, {140, 100}, {15, 10}}},
        {TOOL_FILLRECT, 1, crRed, {{-20, -10}, {140, 60}, {70, 60}}},
        {TOOL_FILLRECT, 10, crBlue, {{50, 90}}}, // a click without a move
        {TOOL_FILLELLIPSE, 2, RGB(0, 128, 0), {{150, 100}, {150, 30}, {80, 5}}},
        {TOOL_RECT, 1, crBlack, {{30, 30}, {150, 115}, {5, 5}, {120, 100}}},
        {TOOL_ELLIPSE, 5, crRed, {{140, 115}, {400, -30}, {20, 30}}},
        {TOOL_ERASER, 5, crRed, {{20, 20}, {80, 60}, {141, 100}}},
    };
    for (const Stroke &s : strokes) {
        SCOPED_TRACE(testing::Message() << "tool " << s.nTool << " from " << s.pts[0].x << "," << s.pts[0].y);
        if (&s != strokes.data()) {
            HGDIOBJ hpenOld = hPen, hbrOld = hBrush;
            robot.Expect([&](HWND hdlg) {
                for (int i = 0; i < 3; i++)
                    SetDlgItemInt(hdlg, 706 + i, s.cr >> 8 * i & 0xFF, FALSE); // red, green, blue
                DialogRobot::PressButton(hdlg, IDOK);
            });
            Command(IDM_COLOR);
            EXPECT_EQ(GetObjectType(hpenOld) | GetObjectType(hbrOld), 0u) << "the old pen or brush is still there";
            robot.Expect([&](HWND hdlg) {
                SendDlgItemMessageA(hdlg, IDC_PENWIDTH_SLIDER, TBM_SETPOS, TRUE, s.nWidth);
                DialogRobot::PressButton(hdlg, IDOK);
            });
            Command(IDM_PEN_WIDTH);
        }
        EXPECT_TRUE(IsStored("PenWidth", REG_DWORD, (DWORD)s.nWidth) && IsStored("Color", REG_DWORD, s.cr));
        Pixels before = ReadFigure();
        for (bool fLose : {true, false}) {
            fModified = 0;
            Drag(s.nTool, crColor, nPenWidth, s.pts, fLose);
            EXPECT_EQ(GetCapture(), fLose ? hwndMain : NULL);
            ReleaseCapture();
            EXPECT_EQ(fModified, 1);
            EXPECT_EQ(GetCurrentObject(hdcFigure, OBJ_PEN), (HGDIOBJ)hPen);
            EXPECT_EQ(GetCurrentObject(hdcFigure, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
            bool fDrawn = !fLose || s.nTool == TOOL_PEN || s.nTool == TOOL_ERASER; // drawn as the mouse moved
            EXPECT_TRUE(SamePixels(ReadFigure(), DrawStrokes(strokes.data(), &s + fDrawn))) << "mouse taken " << fLose;
            Command(IDM_EDIT_UNDO);
            EXPECT_TRUE(SamePixels(ReadFigure(), before)) << "undo";
        }
        Drag(s.nTool, s.cr, s.nWidth, s.pts);
    }
    // The font chosen in the text dialog draws the text, unsmoothed (a blended edge is a pale fringe), and is stored.
    robot.ExpectButton(IDC_TEXT_FONT);
    robot.Expect([](HWND hdlg) {
        SendDlgItemMessageA(hdlg, 0x470, CB_SELECTSTRING, -1, (LPARAM) "MS PGothic"); // IPAPGothic here
        SendMessageA(hdlg, WM_COMMAND, MAKEWPARAM(0x470, CBN_SELCHANGE), (LPARAM)GetDlgItem(hdlg, 0x470));
        DialogRobot::PressButton(hdlg, IDOK);
        SetDlgItemTextA(GetWindow(hdlg, GW_OWNER), IDC_TEXT_EDIT, "WWW");
        DialogRobot::PressButton(GetWindow(hdlg, GW_OWNER), IDOK);
    });
    fModified = 0;
    Drag(TOOL_TEXT, crBlue, 1, {{30, 12}});
    EXPECT_STREQ(lfText.lfFaceName, "MS PGothic");
    EXPECT_TRUE(IsStored("Font", REG_BINARY, lfText));
    EXPECT_EQ(fModified, 1);
    Pixels glyphs = DrawOnSurface(cxCanvas, cyCanvas, 0xFFFFFF, [](HDC hdc) {
        LOGFONTA lf = lfText;
        lf.lfQuality = NONANTIALIASED_QUALITY;
        HGDIOBJ hfontOld = SelectObject(hdc, CreateFontIndirectA(&lf));
        SetTextColor(hdc, crBlue);
        TextOutA(hdc, 30, 12, "WWW", 3);
        DeleteObject(SelectObject(hdc, hfontOld));
    });
    EXPECT_TRUE(SamePixels(ReadFigure(), Overlay(DrawStrokes(&strokes.front(), &strokes.back() + 1), glyphs)));
    EXPECT_EQ(std::set<DWORD>(glyphs.begin(), glyphs.end()).size(), 2u) << "not just the colour on white";

    ClearFigure();
    Drag(TOOL_FILLRECT, crRed, 2, {{10, 10}, {60, 70}});
    const Pixels left = ReadFigure(), white(left.size(), 0xFFFFFF);
    for (UINT idTake : {IDM_EDIT_COPY, IDM_EDIT_CUT}) {
        Drag(TOOL_FILLELLIPSE, crBlue, 1, {{80, 20}, {150, 110}});
        Pixels both = ReadFigure();
        Command(idTake);
        Command(IDM_EDIT_UNDO);
        ASSERT_TRUE(OpenClipboard(GetDesktopWindow()));
        Command(IDM_EDIT_COPY);
        Command(IDM_EDIT_CUT);
        CloseClipboard();
        EXPECT_TRUE(SamePixels(ReadFigure(), idTake == IDM_EDIT_COPY ? left : white)) << "after " << idTake;
        fModified = 0;
        Command(IDM_EDIT_PASTE);
        EXPECT_TRUE(SamePixels(ReadFigure(), both)) << "what was taken is no longer on the clipboard";
        EXPECT_EQ(fModified, 1);
    }
    for (SIZE size : {SIZE{190, 140}, SIZE{80, 40}, SIZE{200, 60}, SIZE{1, 1}}) {
        ClearFigure();
        Drag(TOOL_FILLRECT, crBlue, 1, {{25, 15}, {55, 28}}); // under the picture's white block
        Pixels picture(size.cx * size.cy), expected = ReadFigure();
        for (int i = 0; i < size.cx * size.cy; i++) {
            int x = i % size.cx, y = i / size.cx;
            picture[i] = x >= 20 && x < 60 && y >= 10 && y < 30 ? 0xFFFFFF : x * 5 % 256 << 16 | y * 7 % 256 << 8 | 90;
            if (x < cxCanvas && y < cyCanvas && picture[i] != 0xFFFFFF)
                expected[y * cxCanvas + x] = picture[i];
        }
        ASSERT_TRUE(OpenClipboard(hwndMain) && EmptyClipboard() &&
                    SetClipboardData(CF_BITMAP, CreateBitmap(size.cx, size.cy, 1, 32, picture.data())) &&
                    CloseClipboard());
        Command(IDM_EDIT_PASTE);
        Command(IDM_EDIT_UNDO);
        EXPECT_TRUE(SamePixels(ReadFigure(), expected)) << size.cx << " x " << size.cy;
    }
}
