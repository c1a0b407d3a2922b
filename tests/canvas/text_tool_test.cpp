// The text tool, the pen width and the colour as a user meets them: the press that asks for a text, the
// text, font, pen width and colour dialogs answered by the robot, what lands in the figure, and the
// settings that carry the choices to the next start.
#include "app/app_state.h"
#include "app/title.h"
#include "canvas/text_tool.h"
#include "resources/resource.h"
#include "support/document_test.h"

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <string>

namespace {

// Every pixel of a canvas-sized surface, row by row.
std::vector<COLORREF> ReadPixels(HDC hdc)
{
    std::vector<COLORREF> pixels;
    for (int y = 0; y < cyCanvas; y++)
        for (int x = 0; x < cxCanvas; x++)
            pixels.push_back(GetPixel(hdc, x, y));
    return pixels;
}

std::vector<COLORREF> ReadFigure()
{
    return ReadPixels(hdcFigure);
}

// Where the pixels of one colour lie, as (x, y) row by row.
using Points = std::vector<std::pair<int, int>>;

Points FindColor(const std::vector<COLORREF> &pixels, COLORREF cr)
{
    Points points;
    for (int i = 0; i < (int)pixels.size(); i++)
        if (pixels[i] == cr)
            points.emplace_back(i % cxCanvas, i / cxCanvas);
    return points;
}

// The glyphs of a text as the platform alone draws it with its top-left at (x, y) in the text tool's font.
Points DrawReferenceText(int x, int y, const char *pszText)
{
    HDC hdc = CreateCompatibleDC(hdcFigure);
    HBITMAP hbm = CreateCompatibleBitmap(hdcFigure, cxCanvas, cyCanvas);
    HGDIOBJ hbmOld = SelectObject(hdc, hbm);
    RECT rc = {0, 0, cxCanvas, cyCanvas};
    FillRect(hdc, &rc, (HBRUSH)GetStockObject(WHITE_BRUSH));
    HFONT hfont = CreateFontIndirectA(&lfText);
    HGDIOBJ hfontOld = SelectObject(hdc, hfont);
    SetBkMode(hdc, TRANSPARENT);
    TextOutA(hdc, x, y, pszText, lstrlenA(pszText));
    std::vector<COLORREF> pixels = ReadPixels(hdc);
    SelectObject(hdc, hfontOld);
    DeleteObject(hfont);
    SelectObject(hdc, hbmOld);
    DeleteObject(hbm);
    DeleteDC(hdc);
    return FindColor(pixels, RGB(0, 0, 0));
}

// The value's type and bytes under the program's key; type REG_NONE when it is missing.
std::pair<DWORD, std::string> ReadSetting(const char *pszName)
{
    std::pair<DWORD, std::string> setting(REG_NONE, "");
    HKEY hkey;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, pszRegistryKey, 0, KEY_READ, &hkey) != ERROR_SUCCESS)
        return setting;
    char ab[256];
    DWORD cb = sizeof ab, dwType;
    if (RegQueryValueExA(hkey, pszName, NULL, &dwType, (BYTE *)ab, &cb) == ERROR_SUCCESS)
        setting = {dwType, std::string(ab, cb)};
    RegCloseKey(hkey);
    return setting;
}

template <typename T> std::string BytesOf(const T &value)
{
    return std::string((const char *)&value, sizeof value);
}

void WriteSetting(const char *pszName, DWORD dwType, const std::string &strBytes)
{
    HKEY hkey;
    RegCreateKeyExA(HKEY_CURRENT_USER, pszRegistryKey, 0, NULL, 0, KEY_WRITE, NULL, &hkey, NULL);
    RegSetValueExA(hkey, pszName, 0, dwType, (const BYTE *)strBytes.data(), (DWORD)strBytes.size());
    RegCloseKey(hkey);
}

// A choice in one of the font dialog's lists, as a click on the entry makes it.
void PickListEntry(HWND hdlg, int idList, const char *pszEntry)
{
    HWND hwndList = GetDlgItem(hdlg, idList);
    LRESULT i = SendMessageA(hwndList, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)pszEntry);
    SendMessageA(hwndList, CB_SETCURSEL, i, 0);
    SendMessageA(hdlg, WM_COMMAND, MAKEWPARAM(idList, CBN_SELCHANGE), (LPARAM)hwndList);
}

std::string SelectedListEntry(HWND hdlg, int idList)
{
    char sz[LF_FACESIZE * 2] = "";
    LRESULT i = SendDlgItemMessageA(hdlg, idList, CB_GETCURSEL, 0, 0);
    if (i != CB_ERR)
        SendDlgItemMessageA(hdlg, idList, CB_GETLBTEXT, i, (LPARAM)sz);
    return sz;
}

class TextAndPenTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        if (!IsSkipped())
            OpenPatternVideo(240, 80, 2);
    }

    // A press of the text tool at (x, y); the robot answers the dialogs it opens as queued.
    void PressTextTool(int x, int y)
    {
        Command(IDM_TOOL_TEXT);
        SendMessageA(hwndView, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageA(hwndView, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        Pump();
    }

    void PlaceTypedText(int x, int y, const std::string &strText, int idButton = IDOK)
    {
        robot.Expect([strText, idButton](HWND hdlg) {
            DialogRobot::SetItemText(hdlg, IDC_TEXT_EDIT, strText.c_str());
            DialogRobot::PressButton(hdlg, idButton);
        });
        PressTextTool(x, y);
    }

    void DrawLine(POINT ptFrom, POINT ptTo)
    {
        Command(IDM_TOOL_LINE);
        SendMessageA(hwndView, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ptFrom.x, ptFrom.y));
        SendMessageA(hwndView, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(ptTo.x, ptTo.y));
        SendMessageA(hwndView, WM_LBUTTONUP, 0, MAKELPARAM(ptTo.x, ptTo.y));
        Pump();
    }

    // The colour dialog's red, green and blue set to those of cr; *pcrShown gets the colour it opened with.
    void ChooseColorInDialog(COLORREF cr, COLORREF *pcrShown = nullptr)
    {
        robot.Expect([cr, pcrShown](HWND hdlg) {
            if (pcrShown)
                *pcrShown = RGB(GetDlgItemInt(hdlg, 706, NULL, FALSE), GetDlgItemInt(hdlg, 707, NULL, FALSE),
                                GetDlgItemInt(hdlg, 708, NULL, FALSE));
            const int anLevels[] = {GetRValue(cr), GetGValue(cr), GetBValue(cr)};
            for (int i = 0; i < 3; i++)
                DialogRobot::SetItemText(hdlg, 706 + i, std::to_string(anLevels[i]).c_str());
            DialogRobot::PressButton(hdlg, IDOK);
        });
        Command(IDM_COLOR);
    }

    // The pen width dialog with its slider moved to nPosition; *pnShown gets the position it opened with.
    void ChoosePenWidthInDialog(int nPosition, int idButton = IDOK, LRESULT *pnShown = nullptr)
    {
        robot.Expect([=](HWND hdlg) {
            HWND hwndSlider = GetDlgItem(hdlg, IDC_PENWIDTH_SLIDER);
            if (pnShown)
                *pnShown = SendMessageA(hwndSlider, TBM_GETPOS, 0, 0);
            SendMessageA(hwndSlider, TBM_SETPOS, TRUE, nPosition);
            DialogRobot::PressButton(hdlg, idButton);
        });
        Command(IDM_PEN_WIDTH);
    }

    // The width of a line in colour cr drawn down the canvas, measured across it; undo takes it back.
    int MeasureVerticalLine(COLORREF cr)
    {
        DrawLine({cxCanvas / 2, 5}, {cxCanvas / 2, cyCanvas - 5});
        int cPixels = 0;
        for (int x = 0; x < cxCanvas; x++)
            cPixels += GetPixel(hdcFigure, x, cyCanvas / 2) == cr;
        Command(IDM_EDIT_UNDO);
        return cPixels;
    }
};

} // namespace

TEST_F(TextAndPenTest, TextLandsAtThePressPointInTheColourOverEarlierStrokes)
{
    const COLORREF crStroke = RGB(0, 0, 255), crText = RGB(200, 0, 0);
    const POINT ptPress = {30, 12};
    const int yStroke = ptPress.y + 7; // through the middle of the glyphs
    ChooseColorInDialog(crStroke);
    DrawLine({0, yStroke}, {cxCanvas - 1, yStroke});
    ChooseColorInDialog(crText);
    std::vector<COLORREF> before = ReadFigure();
    PlaceTypedText(ptPress.x, ptPress.y, "WWW");
    std::vector<COLORREF> after = ReadFigure();

    Points glyphs = FindColor(after, crText);
    ASSERT_GT(glyphs.size(), 20u) << "no glyphs in the text's colour";
    EXPECT_EQ(glyphs, DrawReferenceText(ptPress.x, ptPress.y, "WWW")) << "not the glyphs at the press point";
    // Only glyph pixels changed: the cell behind them stays as it was.
    int cOtherChanges = 0;
    for (size_t i = 0; i < after.size(); i++)
        cOtherChanges += after[i] != before[i] && after[i] != crText;
    EXPECT_EQ(cOtherChanges, 0) << "pixels around the glyphs changed";
    auto [itLeft, itRight] = std::minmax_element(glyphs.begin(), glyphs.end());
    int cStrokeInText = 0, cGlyphOnStroke = 0;
    for (int x = itLeft->first; x < itRight->first; x++) {
        cStrokeInText += after[yStroke * cxCanvas + x] == crStroke;
        cGlyphOnStroke += after[yStroke * cxCanvas + x] == crText;
    }
    EXPECT_GT(cGlyphOnStroke, 0) << "the glyphs do not cross the stroke";
    EXPECT_GT(cStrokeInText, 0) << "the stroke is hidden between the glyphs";
}

TEST_F(TextAndPenTest, TextNearTheRightOrBottomEdgeIsClipped)
{
    const size_t cWholeText = DrawReferenceText(10, 10, "WWW").size();
    const POINT aptPress[] = {{cxCanvas - 8, 30}, {40, cyCanvas - 6}, {cxCanvas - 8, cyCanvas - 6}};
    for (POINT ptPress : aptPress) {
        SCOPED_TRACE(testing::Message() << "press at " << ptPress.x << "," << ptPress.y);
        PlaceTypedText(ptPress.x, ptPress.y, "WWW");
        Points glyphs = FindColor(ReadFigure(), RGB(0, 0, 0));
        EXPECT_FALSE(glyphs.empty());
        EXPECT_LT(glyphs.size(), cWholeText) << "nothing was cut off";
        EXPECT_EQ(glyphs, DrawReferenceText(ptPress.x, ptPress.y, "WWW")) << "the text moved away from the edge";
        Command(IDM_EDIT_UNDO);
    }
}

TEST_F(TextAndPenTest, PlacedTextMarksTheFigureModifiedACancelledOneDoesNot)
{
    struct Case {
        const char *pszText;
        int idButton;
        bool fModifiedAfter;
        bool fDrawn;
    } aCases[] = {
        {"abc", IDCANCEL, false, false},
        {"", IDOK, true, false},
        {"abc", IDOK, true, true},
    };
    for (const Case &c : aCases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.pszText << "\" button " << c.idButton);
        fModified = 0;
        UpdateTitle();
        std::vector<COLORREF> before = ReadFigure();
        PlaceTypedText(20, 20, c.pszText, c.idButton);
        EXPECT_EQ(fModified != 0, c.fModifiedAfter);
        EXPECT_EQ(GetWindowTextWide(hwndMain).find(L" * - Pelto") != std::wstring::npos, c.fModifiedAfter);
        EXPECT_EQ(ReadFigure() != before, c.fDrawn);
        Command(IDM_EDIT_UNDO);
    }
}

TEST_F(TextAndPenTest, CancelChangesNothingButTheUndoCopy)
{
    PlaceTypedText(10, 10, "kept");
    DrawLine({0, 60}, {cxCanvas - 1, 60});
    std::vector<COLORREF> withStroke = ReadFigure();
    std::string strOffered;
    robot.Expect([&strOffered](HWND hdlg) {
        char sz[300];
        GetDlgItemTextA(hdlg, IDC_TEXT_EDIT, sz, sizeof sz);
        strOffered = sz;
        DialogRobot::SetItemText(hdlg, IDC_TEXT_EDIT, "dropped");
        DialogRobot::PressButton(hdlg, IDCANCEL);
    });
    PressTextTool(40, 30);
    EXPECT_EQ(strOffered, "kept") << "the last confirmed text is offered again";
    EXPECT_STREQ(szText, "kept");
    EXPECT_EQ(ReadFigure(), withStroke);
    // The press took a new undo copy: undo now goes back to the figure with the stroke, not before it.
    ASSERT_TRUE(fCanUndo);
    Command(IDM_EDIT_UNDO);
    EXPECT_EQ(ReadFigure(), withStroke);
}

TEST_F(TextAndPenTest, TextLongerThan255BytesIsCutAtACharacter)
{
    std::string strLetters;
    for (int i = 0; i < 300; i++)
        strLetters += (char)('a' + i % 26);
    const std::string strKanji = "\x95\x5C\x95\x5C"; // "表表": trail bytes that look like a backslash
    struct Case {
        std::string strTyped, strKept;
    } aCases[] = {
        {strLetters, strLetters.substr(0, 255)},
        {std::string(253, 'a') + strKanji, std::string(253, 'a') + "\x95\x5C"},
        {std::string(254, 'a') + strKanji, std::string(254, 'a')}, // never half a character
    };
    for (const Case &c : aCases) {
        SCOPED_TRACE(testing::Message() << c.strTyped.size() << " bytes typed");
        PlaceTypedText(5, 5, c.strTyped);
        EXPECT_EQ(std::string(szText), c.strKept);
    }
}

TEST_F(TextAndPenTest, FontDialogOpensOnTheTextFontAndTheChoiceIsStoredWithTheNextText)
{
    const char *const pszFace = "DejaVu Sans";
    EXPECT_EQ(ReadSetting("Font").first, (DWORD)REG_NONE);
    // A font chosen and then the text cancelled: the font stays, nothing is stored or drawn.
    HWND hdlgText = NULL;
    robot.Expect([&hdlgText](HWND hdlg) {
        hdlgText = hdlg;
        DialogRobot::PressButton(hdlg, IDC_TEXT_FONT);
    });
    robot.Expect([&hdlgText, pszFace](HWND hdlg) {
        PickListEntry(hdlg, cmb1, pszFace);
        PickListEntry(hdlg, cmb3, "24");
        DialogRobot::PressButton(hdlg, IDOK);
        DialogRobot::PressButton(hdlgText, IDCANCEL);
    });
    PressTextTool(10, 10);
    ASSERT_EQ(robot.Seen().size(), 2u);
    EXPECT_STREQ(lfText.lfFaceName, pszFace);
    EXPECT_EQ(ReadSetting("Font").first, (DWORD)REG_NONE);
    EXPECT_TRUE(FindColor(ReadFigure(), RGB(0, 0, 0)).empty());

    // The next time the font dialog shows that font, and another face picked there and cancelled changes
    // nothing; the text placed then is drawn and stored with the font.
    LOGFONTA lfChosen = lfText;
    std::string strFaceShown, strSizeShown;
    robot.Expect([&hdlgText](HWND hdlg) {
        hdlgText = hdlg;
        DialogRobot::SetItemText(hdlg, IDC_TEXT_EDIT, "H");
        DialogRobot::PressButton(hdlg, IDC_TEXT_FONT);
    });
    robot.Expect([&](HWND hdlg) {
        strFaceShown = SelectedListEntry(hdlg, cmb1);
        strSizeShown = SelectedListEntry(hdlg, cmb3);
        PickListEntry(hdlg, cmb1, "DejaVu Serif");
        DialogRobot::PressButton(hdlg, IDCANCEL);
        DialogRobot::PressButton(hdlgText, IDOK);
    });
    PressTextTool(10, 10);
    ASSERT_EQ(robot.Seen().size(), 4u);
    EXPECT_EQ(strFaceShown, pszFace);
    EXPECT_EQ(strSizeShown, "24");
    EXPECT_EQ(ReadSetting("Font"), std::make_pair((DWORD)REG_BINARY, BytesOf(lfChosen)));
    EXPECT_EQ(ReadSetting("Font").second.size(), 60u);
    EXPECT_EQ(FindColor(ReadFigure(), RGB(0, 0, 0)), DrawReferenceText(10, 10, "H")) << "not drawn in that font";
}

TEST_F(TextAndPenTest, FreshProfileGivesAThinBlackPenAndTheDefaultGuiFont)
{
    EXPECT_EQ(nPenWidth, 1);
    EXPECT_EQ(crColor, RGB(0, 0, 0));
    LOGFONTA lfDefault = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lfDefault, &lfDefault);
    EXPECT_EQ(BytesOf(lfText), BytesOf(lfDefault));
    EXPECT_EQ(MeasureVerticalLine(RGB(0, 0, 0)), 1);
}

TEST_F(TextAndPenTest, PenWidthAndColourDialogsSetTheNextStrokeAndAreStored)
{
    struct Case {
        int nSliderPosition;
        COLORREF crChosen;
        int nWidthExpected;
    } aCases[] = {
        {4, RGB(255, 0, 0), 4},
        {10, RGB(12, 34, 56), 10},
        {1, RGB(0, 128, 0), 1},
        {15, RGB(0, 0, 255), 10}, // the slider stops at its end
    };
    int nWidthBefore = nPenWidth;
    for (const Case &c : aCases) {
        SCOPED_TRACE(testing::Message() << "slider " << c.nSliderPosition);
        // Each dialog alone makes the next stroke's pen.
        LRESULT nShown = -1;
        ChoosePenWidthInDialog(c.nSliderPosition, IDOK, &nShown);
        EXPECT_EQ(nShown, nWidthBefore) << "the dialog opens on the current width";
        EXPECT_EQ(nPenWidth, c.nWidthExpected);
        COLORREF crBefore = crColor, crShown = CLR_INVALID;
        EXPECT_EQ(MeasureVerticalLine(crBefore), c.nWidthExpected);
        ChooseColorInDialog(c.crChosen, &crShown);
        EXPECT_EQ(crShown, crBefore) << "the colour dialog opens on the current colour";
        EXPECT_EQ(crColor, c.crChosen);
        EXPECT_EQ(MeasureVerticalLine(c.crChosen), c.nWidthExpected);
        EXPECT_EQ(ReadSetting("PenWidth"), std::make_pair((DWORD)REG_DWORD, BytesOf((DWORD)c.nWidthExpected)));
        EXPECT_EQ(ReadSetting("Color"), std::make_pair((DWORD)REG_DWORD, BytesOf((DWORD)c.crChosen)));
        nWidthBefore = c.nWidthExpected;
    }

    // Cancel keeps the width and its setting.
    ChoosePenWidthInDialog(7, IDCANCEL);
    EXPECT_EQ(nPenWidth, nWidthBefore);
    EXPECT_EQ(ReadSetting("PenWidth").second, BytesOf((DWORD)nWidthBefore));
}

namespace {

// The settings as a previous run left them, in the registry before the program starts.
class StoredSettingsTest : public TextAndPenTest {
protected:
    void PrepareSettings() override
    {
        WriteSetting("PenWidth", REG_DWORD, BytesOf((DWORD)25));
        WriteSetting("Color", REG_DWORD, BytesOf((DWORD)RGB(0, 0, 200)));
        LOGFONTA lf = {-30, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "DejaVu Sans"};
        lfStored = lf;
        WriteSetting("Font", REG_BINARY, BytesOf(lf));
    }

    LOGFONTA lfStored;
};

} // namespace

TEST_F(StoredSettingsTest, StoredSettingsApplyFromTheStartAndTheDialogKeepsItsRange)
{
    EXPECT_EQ(nPenWidth, 25);
    EXPECT_EQ(crColor, RGB(0, 0, 200));
    EXPECT_EQ(BytesOf(lfText), BytesOf(lfStored));
    EXPECT_EQ(MeasureVerticalLine(RGB(0, 0, 200)), 25);

    // The dialog shows 25 at its end, and OK takes the slider's 10.
    LRESULT nShown = -1;
    robot.Expect([&nShown](HWND hdlg) {
        nShown = SendDlgItemMessageA(hdlg, IDC_PENWIDTH_SLIDER, TBM_GETPOS, 0, 0);
        DialogRobot::PressButton(hdlg, IDOK);
    });
    Command(IDM_PEN_WIDTH);
    EXPECT_EQ(nShown, 10);
    EXPECT_EQ(nPenWidth, 10);
    EXPECT_EQ(ReadSetting("PenWidth").second, BytesOf((DWORD)10));
}
