// The drawing tools, figure commands and tool dialogs as a user meets them: the figure holds each line, shape and
// text as the platform draws it with that pen, brush and font; clipboard, undo and settings keep what was chosen.
#include "support/harness.h"

#include "app/app_state.h"
#include "canvas/figure_commands.h"
#include "resources/resource.h"

#include <commctrl.h>

#include <algorithm>

struct Stroke {
    int nTool, nWidth;
    COLORREF cr;
    std::vector<POINT> pts; // pressed at the first, released at the last
};
const COLORREF crRed = RGB(220, 20, 30), crBlue = RGB(10, 40, 200), crBlack = RGB(0, 0, 0);

// What the strokes leave on a white figure: the eraser is a white pen 10 wide; pen and line dot the points they reach.
static Pixels DrawStrokes(const std::vector<Stroke> &strokes)
{
    return DrawReference([&](HDC hdc) {
        for (const Stroke &s : strokes) {
            bool fErase = s.nTool == TOOL_ERASER, fFill = s.nTool == TOOL_FILLRECT || s.nTool == TOOL_FILLELLIPSE;
            HGDIOBJ hpenOld = SelectObject(hdc, CreatePen(PS_SOLID, fErase ? 10 : s.nWidth, fErase ? 0xFFFFFF : s.cr));
            HGDIOBJ hbrOld = SelectObject(hdc, fFill ? CreateSolidBrush(s.cr) : GetStockObject(NULL_BRUSH));
            const POINT &a = s.pts.front(), &b = s.pts.back();
            std::vector<POINT> path = s.nTool == TOOL_LINE ? std::vector<POINT>{a, b} : s.pts;
            if (s.nTool == TOOL_RECT || s.nTool == TOOL_FILLRECT)
                Rectangle(hdc, a.x, a.y, b.x, b.y);
            else if (s.nTool == TOOL_ELLIPSE || s.nTool == TOOL_FILLELLIPSE)
                Ellipse(hdc, a.x, a.y, b.x, b.y);
            else
                Polyline(hdc, path.data(), (int)path.size());
            for (size_t i = s.nTool == TOOL_LINE; i < path.size() && s.nTool <= TOOL_LINE; i++)
                SetPixel(hdc, path[i].x, path[i].y, s.cr);
            DeleteObject(SelectObject(hdc, hbrOld));
            DeleteObject(SelectObject(hdc, hpenOld));
        }
    });
}

struct ToolsTest : ProgramTest {
    void SetUp() override
    {
        ProgramTest::SetUp();
        OpenPattern(160, 120, 3);
    }
    void Drag(const Stroke &s) { ProgramTest::Drag(s.nTool, s.cr, s.nWidth, s.pts); }
    static DWORD Rgb(COLORREF cr) { return (DWORD)GetRValue(cr) << 16 | GetGValue(cr) << 8 | GetBValue(cr); }
    // The value under the program's key has the type and exactly the bytes of v.
    template <typename T> static bool IsStored(const char *pszName, DWORD dwType, const T &v)
    {
        T stored;
        DWORD dwStoredType = 0, cb = sizeof stored;
        LSTATUS ls = RegGetValueA(HKEY_CURRENT_USER, pszRegistryKey, pszName, RRF_RT_ANY, &dwStoredType, &stored, &cb);
        return ls == ERROR_SUCCESS && dwStoredType == dwType && cb == sizeof v && memcmp(&stored, &v, sizeof v) == 0;
    }
    // The width of a line drawn down the canvas with the current pen, in pixels of the colour; undo takes it back.
    int MeasureLine(COLORREF cr)
    {
        ProgramTest::Drag(TOOL_LINE, crColor, nPenWidth, {{80, 5}, {80, 115}});
        Pixels figure = ReadFigure();
        Command(IDM_EDIT_UNDO);
        return (int)std::count(figure.begin() + 60 * 160, figure.begin() + 61 * 160, Rgb(cr));
    }
};

// Canvas 160 × 120. Line and shape drags pass other points, over the figure and out of the view, before they settle.
// Undo takes each drag back; between drawings the figure holds the tool pen and its own white brush.
TEST_F(ToolsTest, StrokesLandInTheFigureAsThePlatformDrawsThem)
{
    const std::vector<Stroke> aCases[] = {
        {{TOOL_PEN, 1, crRed, {{10, 10}, {60, 14}, {64, 70}, {12, 50}, {13, 49}}},
         {TOOL_PEN, 1, crRed, {{50, 40}}},
         {TOOL_PEN, 4, crBlue, {{20, 100}, {-25, 40}, {80, -20}, {150, 90}}},
         {TOOL_LINE, 1, crBlue, {{90, 40}}},
         {TOOL_LINE, 1, crBlack, {{20, 20}, {150, 110}, {140, 100}}},
         {TOOL_LINE, 3, crRed, {{175, 100}, {15, 10}}}},
        {{TOOL_FILLRECT, 1, crRed, {{-20, -10}, {140, 60}, {70, 60}}},
         {TOOL_FILLELLIPSE, 2, crBlue, {{150, 100}, {150, 30}, {80, 5}}},
         {TOOL_RECT, 1, crBlack, {{30, 30}, {150, 115}, {5, 5}, {120, 100}}},
         {TOOL_ELLIPSE, 1, crBlack, {{10, 15}, {400, -30}, {120, 90}}},
         {TOOL_ELLIPSE, 5, crRed, {{140, 115}, {20, 30}}}},
        {{TOOL_FILLRECT, 1, crBlack, {{10, 10}, {150, 110}}},
         {TOOL_PEN, 3, RGB(255, 255, 255), {{20, 100}, {140, 15}}},
         {TOOL_ERASER, 1, crBlack, {{20, 20}, {80, 60}, {141, 100}}}},
    };
    Pixels frame = PaintCanvas(cxCanvas, cyCanvas, 0);
    for (const std::vector<Stroke> &strokes : aCases) {
        ClearFigure();
        for (const Stroke &s : strokes) {
            SCOPED_TRACE(testing::Message() << "tool " << s.nTool << " from " << s.pts[0].x << "," << s.pts[0].y);
            Pixels before = ReadFigure();
            Drag(s);
            Command(IDM_EDIT_UNDO);
            EXPECT_TRUE(SamePixels(ReadFigure(), before)) << "undo";
            Drag(s);
            EXPECT_EQ(GetCapture(), (HWND)NULL) << "the release kept the mouse";
            EXPECT_EQ(GetCurrentObject(hdcFigure, OBJ_PEN), (HGDIOBJ)hPen);
            EXPECT_EQ(GetCurrentObject(hdcFigure, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
        }
        Pixels figure = DrawStrokes(strokes);
        EXPECT_TRUE(SamePixels(ReadFigure(), figure));
        EXPECT_TRUE(SamePixels(PaintCanvas(cxCanvas, cyCanvas, 0), Overlay(frame, figure))) << "in the view";
    }
}

// A right-button drag draws nothing. Another window taking the capture between the moves and the release ends the
// drag there, keeping what the pen or eraser drew and dropping the band; the next drag starts clean.
TEST_F(ToolsTest, RightButtonDoesNothingAndLosingTheCaptureEndsTheDrag)
{
    for (UINT msg : {WM_RBUTTONDOWN, WM_MOUSEMOVE, WM_RBUTTONUP})
        SendMessageA(hwndView, msg, MK_RBUTTON, MAKELPARAM(msg == WM_RBUTTONDOWN ? 20 : 100, 80));
    EXPECT_TRUE(SamePixels(ReadFigure(), Pixels(cxCanvas * cyCanvas, 0xFFFFFF)));
    EXPECT_EQ(fModified, 0);
    for (int nTool : {TOOL_PEN, TOOL_LINE, TOOL_RECT, TOOL_FILLELLIPSE, TOOL_ERASER}) {
        SCOPED_TRACE(testing::Message() << "tool " << nTool);
        std::vector<Stroke> strokes = {{TOOL_FILLRECT, 1, crBlue, {{30, 30}, {130, 90}}},
                                       {nTool, 3, crRed, {{20, 20}, {90, 60}, {140, 100}}}};
        ClearFigure();
        Drag(strokes[0]);
        Drag({nTool, 3, crRed, {{-50, -50}}}); // a click off the canvas chooses the tool, colour and width
        fModified = 0;
        for (size_t i = 0; i < 3; i++)
            SendMessageA(hwndView, i ? WM_MOUSEMOVE : WM_LBUTTONDOWN, MK_LBUTTON,
                         MAKELPARAM(strokes[1].pts[i].x, strokes[1].pts[i].y));
        SetCapture(hwndMain);
        SendMessageA(hwndView, WM_LBUTTONUP, 0, MAKELPARAM(60, 110));
        ReleaseCapture();
        strokes.resize(nTool == TOOL_PEN || nTool == TOOL_ERASER ? 2 : 1); // only a band goes
        EXPECT_TRUE(SamePixels(ReadFigure(), DrawStrokes(strokes)));
        EXPECT_EQ(fModified, 1);
        strokes.push_back({nTool == TOOL_ERASER ? TOOL_PEN : nTool, 3, crRed, {{10, 100}, {50, 70}, {150, 10}}});
        Drag(strokes.back());
        EXPECT_TRUE(SamePixels(ReadFigure(), DrawStrokes(strokes))) << "the next drag";
    }
}

// Copy keeps the undo copy; cut leaves the figure white and unmodified, without an undo copy. While another window
// holds the clipboard open both are refused. A bitmap of any size merges into the figure from the top-left, clipped at
// the canvas, the figure showing where it is white; paste drops the undo copy and marks the figure modified.
TEST_F(ToolsTest, CopyCutAndPasteGoThroughTheClipboard)
{
    Drag({TOOL_FILLRECT, 2, crRed, {{10, 10}, {60, 70}}});
    Pixels left = ReadFigure();
    Drag({TOOL_FILLELLIPSE, 1, crBlue, {{80, 20}, {150, 110}}});
    Pixels both = ReadFigure();
    Command(IDM_EDIT_COPY);
    Command(IDM_EDIT_UNDO);
    EXPECT_TRUE(SamePixels(ReadFigure(), left)) << "copy dropped the undo copy";
    fModified = 0;
    for (UINT id : {IDM_EDIT_COPY, IDM_EDIT_CUT}) {
        ASSERT_TRUE(OpenClipboard(GetDesktopWindow()));
        Command(id);
        CloseClipboard();
        EXPECT_TRUE(SamePixels(ReadFigure(), left)) << "command " << id;
    }
    EXPECT_EQ(fModified, 0);
    Command(IDM_EDIT_PASTE);
    EXPECT_TRUE(SamePixels(ReadFigure(), both)) << "what was copied is no longer on the clipboard";
    Drag({TOOL_FILLELLIPSE, 1, crBlue, {{80, 20}, {150, 110}}}); // once more, for an undo copy
    fModified = 0;
    Command(IDM_EDIT_CUT);
    Command(IDM_EDIT_UNDO);
    EXPECT_TRUE(SamePixels(ReadFigure(), Pixels(both.size(), 0xFFFFFF))) << "cut, then undo";
    EXPECT_EQ(fModified, 0);
    Command(IDM_EDIT_PASTE);
    EXPECT_TRUE(SamePixels(ReadFigure(), both)) << "what was cut";
    for (SIZE size : {SIZE{190, 140}, SIZE{80, 40}, SIZE{200, 60}, SIZE{1, 1}}) {
        SCOPED_TRACE(testing::Message() << size.cx << " x " << size.cy);
        ClearFigure();
        Drag({TOOL_FILLRECT, 1, crBlue, {{25, 15}, {55, 28}}}); // under the picture's white block
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
        fModified = 0;
        Command(IDM_EDIT_PASTE);
        Command(IDM_EDIT_UNDO);
        EXPECT_TRUE(SamePixels(ReadFigure(), expected));
        EXPECT_EQ(fModified, 1);
    }
}

// From a fresh profile's thin black pen and default GUI font, each dialog sets the next text or stroke and is stored: a
// font with the next text placed, not with one cancelled. A colour change deletes the old pen and brush, which it can
// only once the figure holds neither, as after a filled-rectangle click without a move.
TEST_F(ToolsTest, DialogsSetTheNextTextOrStrokeAndAreStored)
{
    LOGFONTA lfDefault = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lfDefault, &lfDefault);
    EXPECT_EQ(memcmp(&lfText, &lfDefault, sizeof lfText), 0) << "not the default GUI font";
    EXPECT_EQ(MeasureLine(crBlack), 1);
    Drag({TOOL_LINE, 1, crRed, {{0, 19}, {159, 19}}}); // through the middle of the glyphs
    Pixels before = ReadFigure();
    robot.ExpectButton(IDC_TEXT_FONT);
    robot.Expect([](HWND hdlg) {
        SendDlgItemMessageA(hdlg, 0x470, CB_SELECTSTRING, -1, (LPARAM) "MS PGothic"); // IPAPGothic here
        SendMessageA(hdlg, WM_COMMAND, MAKEWPARAM(0x470, CBN_SELCHANGE), (LPARAM)GetDlgItem(hdlg, 0x470));
        DialogRobot::PressButton(hdlg, IDOK);
        DialogRobot::PressButton(GetWindow(hdlg, GW_OWNER), IDCANCEL);
    });
    fModified = 0;
    Drag({TOOL_TEXT, 1, crBlue, {{30, 12}}});
    EXPECT_STREQ(lfText.lfFaceName, "MS PGothic");
    EXPECT_FALSE(IsStored("Font", REG_BINARY, lfText));
    EXPECT_TRUE(SamePixels(ReadFigure(), before));
    EXPECT_EQ(fModified, 0);
    Pixels glyphs = DrawReference([](HDC hdc) {
        BitBlt(hdc, 0, 0, cxCanvas, cyCanvas, hdcFigure, 0, 0, SRCCOPY);
        LOGFONTA lf = lfText;
        lf.lfQuality = NONANTIALIASED_QUALITY;
        HGDIOBJ hfontOld = SelectObject(hdc, CreateFontIndirectA(&lf));
        SetTextColor(hdc, crBlue);
        TextOutA(hdc, 30, 12, "WWW", 3);
        DeleteObject(SelectObject(hdc, hfontOld));
    });
    ASSERT_FALSE(SamePixels(glyphs, before)) << "no glyphs to compare with";
    robot.ExpectText("WWW", IDC_TEXT_EDIT);
    Drag({TOOL_TEXT, 1, crBlue, {{30, 12}}});
    EXPECT_TRUE(SamePixels(ReadFigure(), glyphs));
    // No glyph edge blends the colour with the figure's white: that would show as a pale fringe over the video.
    EXPECT_EQ(std::count_if(glyphs.begin(), glyphs.end(), [&](DWORD dw) { return dw != Rgb(crBlue); }),
              std::count(glyphs.begin(), glyphs.end(), 0xFFFFFF) + std::count(glyphs.begin(), glyphs.end(), Rgb(crRed)));
    EXPECT_EQ(fModified, 1);
    EXPECT_TRUE(IsStored("Font", REG_BINARY, lfText));

    for (auto [nSlider, cr, nWidth] :
         {std::tuple{4, RGB(255, 0, 0), 4}, std::tuple{10, RGB(12, 34, 56), 10}, std::tuple{15, RGB(0, 128, 0), 10}}) {
        SCOPED_TRACE(nSlider);
        robot.Expect([nSlider](HWND hdlg) {
            SendDlgItemMessageA(hdlg, IDC_PENWIDTH_SLIDER, TBM_SETPOS, TRUE, nSlider);
            DialogRobot::PressButton(hdlg, IDOK);
        });
        Command(IDM_PEN_WIDTH);
        EXPECT_EQ(MeasureLine(crColor), nWidth);
        Command(IDM_TOOL_FILLRECT);
        SendMessageA(hwndView, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
        SendMessageA(hwndView, WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
        EXPECT_EQ(GetCurrentObject(hdcFigure, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
        HGDIOBJ hpenOld = hPen, hbrOld = hBrush;
        robot.Expect([cr](HWND hdlg) {
            for (int i = 0; i < 3; i++)
                SetDlgItemInt(hdlg, 706 + i, cr >> 8 * i & 0xFF, FALSE); // red, green, blue
            DialogRobot::PressButton(hdlg, IDOK);
        });
        Command(IDM_COLOR);
        EXPECT_EQ(GetObjectType(hpenOld) | GetObjectType(hbrOld), 0u) << "the old pen or brush is still there";
        EXPECT_EQ(MeasureLine(cr), nWidth);
        EXPECT_TRUE(IsStored("PenWidth", REG_DWORD, (DWORD)nWidth));
        EXPECT_TRUE(IsStored("Color", REG_DWORD, cr));
    }
}

// The settings as a previous run left them, in the registry before the program starts.
struct StoredSettingsTest : ToolsTest {
    void PrepareSettings() override
    {
        DWORD dwWidth = 25, dwColor = RGB(0, 0, 200);
        RegSetKeyValueA(HKEY_CURRENT_USER, pszRegistryKey, "PenWidth", REG_DWORD, &dwWidth, sizeof dwWidth);
        RegSetKeyValueA(HKEY_CURRENT_USER, pszRegistryKey, "Color", REG_DWORD, &dwColor, sizeof dwColor);
        RegSetKeyValueA(HKEY_CURRENT_USER, pszRegistryKey, "Font", REG_BINARY, &lfStored, sizeof lfStored);
    }
    LOGFONTA lfStored = {-30, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "IPAGothic"};
};

TEST_F(StoredSettingsTest, StoredSettingsApplyFromTheStart)
{
    EXPECT_EQ(memcmp(&lfText, &lfStored, sizeof lfText), 0) << "not the stored font";
    EXPECT_EQ(MeasureLine(RGB(0, 0, 200)), 25);
}
