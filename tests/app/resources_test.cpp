// The resources of the built pelto.exe, read from the file as data and held against the texts and numbers of the
// program's description: string table, menu, accelerators, dialog templates, cursors, bitmaps, icon, version and
// manifest. Every expected value is written here from the description, never taken from the resource script, so a
// typo or a wrong number in the script fails here.
#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace {

HMODULE hmodPelto;

class ResourcesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        char szPath[MAX_PATH] = "";
        GetModuleFileNameA(NULL, szPath, sizeof szPath);
        PathRemoveFileSpecA(szPath);
        PathAppendA(szPath, "pelto.exe");
        hmodPelto = LoadLibraryExA(szPath, NULL, LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite()
    {
        if (hmodPelto)
            FreeLibrary(hmodPelto);
        hmodPelto = NULL;
    }
    void SetUp() override { ASSERT_NE(hmodPelto, nullptr) << "pelto.exe is expected next to the test program"; }
};

// The raw bytes of one resource of the program; empty when there is none.
std::span<const BYTE> ResourceBytes(LPCSTR pszType, WORD wId)
{
    HRSRC hrsrc = FindResourceA(hmodPelto, MAKEINTRESOURCEA(wId), pszType);
    if (!hrsrc)
        return {};
    return {static_cast<const BYTE *>(LockResource(LoadResource(hmodPelto, hrsrc))), SizeofResource(hmodPelto, hrsrc)};
}

// A class, menu or title field of a dialog template: an ordinal (0xFFFF, number) or a text.
struct NameOrOrdinal {
    WORD wOrdinal = 0; // 0 when the field is a text
    std::wstring wstrText;
};

// Reads little-endian fields in order; past the end it yields zeros and remembers the overrun.
struct ByteReader {
    std::span<const BYTE> bytes;
    size_t pos = 0;
    bool fOverrun = false;

    const BYTE *Take(size_t cb)
    {
        if (pos + cb > bytes.size()) {
            fOverrun = true;
            pos = bytes.size();
            return nullptr;
        }
        pos += cb;
        return bytes.data() + pos - cb;
    }
    WORD Word()
    {
        const BYTE *pb = Take(2);
        return pb ? WORD(pb[0] | pb[1] << 8) : 0;
    }
    DWORD Dword()
    {
        DWORD dwLow = Word();
        return dwLow | DWORD(Word()) << 16;
    }
    void Skip(size_t cb) { Take(cb); }
    void AlignDword() { Skip((4 - pos % 4) % 4); }
    std::wstring Text()
    {
        std::wstring wstr;
        for (WORD ch = Word(); ch != 0; ch = Word())
            wstr += wchar_t(ch);
        return wstr;
    }
    NameOrOrdinal Name()
    {
        if (pos + 2 <= bytes.size() && bytes[pos] == 0xFF && bytes[pos + 1] == 0xFF) {
            Skip(2);
            return {Word(), L""};
        }
        return {0, Text()};
    }
};

struct DialogItem {
    DWORD dwStyle;
    int id;
    std::array<short, 4> rect; // x, y, width, height in dialog units
    std::wstring wstrClass;    // a predefined class given by ordinal is named here
    NameOrOrdinal title;
};

struct DialogTemplate {
    DWORD dwStyle = 0;
    std::array<short, 4> rect = {};
    NameOrOrdinal menu, windowClass;
    std::wstring wstrCaption;
    WORD wPointSize = 0;
    std::wstring wstrFace;
    std::vector<DialogItem> items;
    bool fOverrun = false;
};

std::wstring PredefinedClassName(WORD wOrdinal)
{
    static const wchar_t *const apwszClasses[] = {L"Button", L"Edit", L"Static", L"ListBox", L"ScrollBar", L"ComboBox"};
    return wOrdinal >= 0x80 && wOrdinal <= 0x85 ? apwszClasses[wOrdinal - 0x80] : L"#" + std::to_wstring(wOrdinal);
}

// Parses a DLGTEMPLATE, or a DLGTEMPLATEEX, with its items.
DialogTemplate ParseDialog(std::span<const BYTE> bytes)
{
    ByteReader reader{bytes};
    DialogTemplate dlg;
    bool fExtended = bytes.size() >= 4 && bytes[0] == 1 && bytes[1] == 0 && bytes[2] == 0xFF && bytes[3] == 0xFF;
    if (fExtended) {
        reader.Skip(12); // version, signature, help id, extended style
        dlg.dwStyle = reader.Dword();
    } else {
        dlg.dwStyle = reader.Dword();
        reader.Skip(4); // extended style
    }
    WORD cItems = reader.Word();
    for (short &n : dlg.rect)
        n = short(reader.Word());
    dlg.menu = reader.Name();
    dlg.windowClass = reader.Name();
    dlg.wstrCaption = reader.Text();
    if (dlg.dwStyle & DS_SETFONT) {
        dlg.wPointSize = reader.Word();
        if (fExtended)
            reader.Skip(4); // weight, italic, character set
        dlg.wstrFace = reader.Text();
    }
    for (WORD i = 0; i < cItems && !reader.fOverrun; i++) {
        reader.AlignDword();
        DialogItem item;
        if (fExtended) {
            reader.Skip(8); // help id, extended style
            item.dwStyle = reader.Dword();
        } else {
            item.dwStyle = reader.Dword();
            reader.Skip(4); // extended style
        }
        for (short &n : item.rect)
            n = short(reader.Word());
        item.id = fExtended ? int(reader.Dword()) : short(reader.Word());
        NameOrOrdinal windowClass = reader.Name();
        item.wstrClass = windowClass.wOrdinal ? PredefinedClassName(windowClass.wOrdinal) : windowClass.wstrText;
        item.title = reader.Name();
        reader.Skip(reader.Word()); // creation data
        dlg.items.push_back(item);
    }
    dlg.fOverrun = reader.fOverrun;
    return dlg;
}

// ---- String table ----

struct StringRow {
    UINT id;
    const wchar_t *pwszText;
};

const StringRow aStringTable[] = {
    {103, L"Pelto"},
    {104, L"ファイル '%s' は存在しません"},
    {105, L"最近のファイル"},
    {109, L"PELTO"},
    {110, L"9999999/9999999 フレーム"},
    {111, L"999999/999999 秒"},
    {112, L"( 99999 ,99999 )"},
    {113, L"%u/%u フレーム"},
    {114, L"%u.%03u/%u.%03u 秒"},
    {115, L"( %d, %d )"},
    {116, L"'%s' を開けませんでした"},
    {117, L"無題"},
    {118, L"%s への変更を保存しますか?"},
    {32798, L"既存のファイルを開く\n開く"},
    {32771, L"ファイルを保存\n保存"},
    {32772, L"ファイルに名前をつけて保存\n名前をつけて保存"},
    {32799, L"圧縮オプションを設定する\n圧縮オプション"},
    {32773, L"Peltoを終了\n終了"},
    {32774, L"元に戻す\n元に戻す"},
    {32775, L"切り取ってクリップボードに保存\n切り取り"},
    {32776, L"コピーしてクリップボードに保存\nコピー"},
    {32777, L"クリップボードの内容を貼り付け\n貼り付け"},
    {32778, L"ペンを選択する\nペン"},
    {32779, L"直線を描く\n直線"},
    {32780, L"長方形を描く\n長方形"},
    {32781, L"楕円を描く\n楕円"},
    {32795, L"塗りつぶした長方形を描く\n塗りつぶした長方形"},
    {32783, L"塗りつぶした楕円を描く\n塗りつぶした楕円"},
    {32784, L"消しゴムを選択する\n消しゴム"},
    {32785, L"文字を書く\n文字"},
    {32786, L"太さを変更する\n太さ"},
    {32787, L"色を選択する\n色"},
    {32788, L"動画を再生する\n再生"},
    {32789, L"動画の再生を停止する\n停止"},
    {32797, L"前のフレームに戻る\nコマ戻し"},
    {32791, L"次のフレームに進む\nコマ送り"},
    {32793, L"動画の先頭に移動する\n最初へ"},
    {32794, L"動画の最後に移動する\n最後へ"},
    {57632, L"図形の始まりに設定する\n図形の始まりに設定"},
    {57633, L"図形の終わりに設定する\n図形の終わりに設定"},
    {32801, L"図形の始まりに移動する\n図形の始まりに移動"},
    {32800, L"図形の終わりに移動する\n図形の終わりに移動"},
    {32796, L"バージョン情報を表示"},
};

const wchar_t wszRecentFileHelp[] = L"指定のファイルを開く"; // every one of 57616 to 57631

// The string as the resource holds it: UTF-16, of its exact length. FALSE when there is none.
bool LoadResourceString(UINT id, std::wstring *pwstr)
{
    const wchar_t *pwch = nullptr;
    int cch = LoadStringW(hmodPelto, id, reinterpret_cast<LPWSTR>(&pwch), 0);
    if (cch <= 0 || !pwch)
        return false;
    pwstr->assign(pwch, cch);
    return true;
}

TEST_F(ResourcesTest, StringTableHoldsTheDescribedTexts)
{
    std::vector<StringRow> rows(std::begin(aStringTable), std::end(aStringTable));
    for (UINT id = 57616; id <= 57631; id++)
        rows.push_back({id, wszRecentFileHelp});
    for (const StringRow &row : rows) {
        SCOPED_TRACE(::testing::Message() << "string " << row.id);
        std::wstring wstr;
        ASSERT_TRUE(LoadResourceString(row.id, &wstr));
        EXPECT_EQ(wstr, row.pwszText);
    }
}

TEST_F(ResourcesTest, OwnStringsOfTheFileCommandsExist)
{
    for (UINT id : {119u, 120u, 121u}) {
        SCOPED_TRACE(::testing::Message() << "string " << id);
        std::wstring wstr;
        EXPECT_TRUE(LoadResourceString(id, &wstr));
    }
    std::wstring wstrSaveFailed;
    LoadResourceString(121, &wstrSaveFailed);
    EXPECT_NE(wstrSaveFailed.find(L"%s"), std::wstring::npos) << "the save failure names the file";
}

TEST_F(ResourcesTest, AnsiStringsComeInCodePage932)
{
    ASSERT_EQ(GetACP(), 932u) << "the tests run in a Japanese locale";
    for (UINT id : {104u, 110u, 117u, 118u, 57616u}) {
        SCOPED_TRACE(::testing::Message() << "string " << id);
        const wchar_t *pwszExpected = wszRecentFileHelp;
        for (const StringRow &row : aStringTable)
            if (row.id == id)
                pwszExpected = row.pwszText;
        char szExpected[256] = "";
        WideCharToMultiByte(932, 0, pwszExpected, -1, szExpected, sizeof szExpected, NULL, NULL);
        char szLoaded[256] = "";
        EXPECT_GT(LoadStringA(hmodPelto, id, szLoaded, sizeof szLoaded), 0);
        EXPECT_STREQ(szLoaded, szExpected);
    }
}

// ---- Menu 109 ----

struct MenuRow {
    const wchar_t *pwszText; // null for a separator
    UINT id;
};

const MenuRow separator = {nullptr, 0};

struct PopupRow {
    const wchar_t *pwszTitle;
    std::vector<MenuRow> items;
};

const PopupRow aMainMenu[] = {
    {L"ファイル(&F)",
     {{L"開く(&O)...\tCtrl+O", 32798},
      {L"上書き保存(&S)\tCtrl+S", 32771},
      {L"名前を付けて保存(&A)...", 32772},
      separator,
      {L"圧縮オプション(&C)...", 32799},
      separator,
      {L"", 57616},
      separator,
      {L"終了(&X)", 32773}}},
    {L"編集(&E)",
     {{L"元に戻す(&U)\tCtrl+Z", 32774},
      separator,
      {L"切り取り(&T)\tCtrl+X", 32775},
      {L"コピー(&C)\tCtrl+C", 32776},
      {L"貼り付け(&P)\tCtrl+V", 32777},
      separator,
      {L"ペン", 32778},
      {L"線", 32779},
      {L"長方形", 32780},
      {L"楕円", 32781},
      {L"塗りつぶした長方形", 32795},
      {L"塗りつぶした楕円", 32783},
      {L"消しゴム", 32784},
      {L"文字", 32785},
      {L"太さ", 32786},
      {L"色", 32787}}},
    {L"表示(&V)",
     {{L"再生(&P)\tSpace", 32788},
      {L"停止(&S)\tPeriod", 32789},
      separator,
      {L"コマ戻し", 32797},
      {L"コマ送り", 32791},
      separator,
      {L"最初へ", 32793},
      {L"最後へ", 32794},
      separator,
      {L"図形の始まりに設定", 57632},
      {L"図形の終わりに設定", 57633},
      separator,
      {L"図形の始まりに移動", 32801},
      {L"図形の終わりに移動", 32800}}},
    {L"ヘルプ(&H)", {{L"バージョン情報(&A)...", 32796}}},
};

struct MenuItem {
    UINT fType, fState, id;
    HMENU hSubMenu;
    std::wstring wstrText;
};

MenuItem ReadMenuItem(HMENU hmenu, int nPosition)
{
    wchar_t wszText[100] = L"";
    MENUITEMINFOW mii = {};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    mii.dwTypeData = wszText;
    mii.cch = ARRAYSIZE(wszText);
    GetMenuItemInfoW(hmenu, nPosition, TRUE, &mii);
    return {mii.fType, mii.fState, mii.wID, mii.hSubMenu, wszText};
}

TEST_F(ResourcesTest, MainMenuHasTheDescribedItems)
{
    HMENU hmenu = LoadMenuW(hmodPelto, MAKEINTRESOURCEW(109));
    ASSERT_NE(hmenu, nullptr);
    ASSERT_EQ(GetMenuItemCount(hmenu), int(std::size(aMainMenu)));
    for (int nPopup = 0; nPopup < int(std::size(aMainMenu)); nPopup++) {
        const PopupRow &popup = aMainMenu[nPopup];
        SCOPED_TRACE(::testing::Message() << "drop-down menu " << nPopup);
        MenuItem title = ReadMenuItem(hmenu, nPopup);
        EXPECT_EQ(title.wstrText, popup.pwszTitle);
        ASSERT_NE(title.hSubMenu, nullptr);
        ASSERT_EQ(GetMenuItemCount(title.hSubMenu), int(popup.items.size()));
        for (int i = 0; i < int(popup.items.size()); i++) {
            const MenuRow &row = popup.items[i];
            SCOPED_TRACE(::testing::Message() << "item " << i << " (" << row.id << ")");
            MenuItem item = ReadMenuItem(title.hSubMenu, i);
            EXPECT_EQ(item.hSubMenu, nullptr);
            if (!row.pwszText) {
                EXPECT_TRUE(item.fType & MFT_SEPARATOR);
                EXPECT_EQ(item.id, 0u);
                continue;
            }
            // An item without text comes out of the template as a separator that keeps its identifier and
            // state, until the recent file list puts its entries there.
            if (*row.pwszText) {
                EXPECT_FALSE(item.fType & MFT_SEPARATOR);
            }
            EXPECT_EQ(item.id, row.id);
            EXPECT_EQ(item.wstrText, row.pwszText);
            EXPECT_EQ((item.fState & MFS_GRAYED) != 0, row.id == 57616) << "only the empty recent-file entry is greyed";
        }
    }
    DestroyMenu(hmenu);
}

// ---- Accelerators 109 ----

struct AccelRow {
    BYTE fVirt;
    WORD key;
    WORD cmd;
};

const AccelRow aAccelerators[] = {
    {FNOINVERT, '.', 32789},
    {FVIRTKEY | FNOINVERT, VK_SPACE, 32788},
    {FVIRTKEY | FCONTROL | FNOINVERT, 'C', 32776},
    {FVIRTKEY | FCONTROL | FNOINVERT, 'O', 32798},
    {FVIRTKEY | FCONTROL | FNOINVERT, 'S', 32771},
    {FVIRTKEY | FCONTROL | FNOINVERT, 'V', 32777},
    {FVIRTKEY | FCONTROL | FNOINVERT, 'X', 32775},
    {FVIRTKEY | FCONTROL | FNOINVERT, 'Z', 32774},
};

TEST_F(ResourcesTest, AcceleratorTableHasTheDescribedKeys)
{
    HACCEL haccel = LoadAcceleratorsW(hmodPelto, MAKEINTRESOURCEW(109));
    ASSERT_NE(haccel, nullptr);
    std::vector<ACCEL> accels(CopyAcceleratorTableW(haccel, NULL, 0));
    CopyAcceleratorTableW(haccel, accels.data(), int(accels.size()));
    DestroyAcceleratorTable(haccel);
    EXPECT_EQ(accels.size(), std::size(aAccelerators));
    for (const AccelRow &row : aAccelerators) {
        SCOPED_TRACE(::testing::Message() << "command " << row.cmd);
        auto it = std::find_if(accels.begin(), accels.end(), [&](const ACCEL &a) { return a.cmd == row.cmd; });
        ASSERT_NE(it, accels.end());
        EXPECT_EQ(it->fVirt, row.fVirt);
        EXPECT_EQ(it->key, row.key);
    }
}

// ---- Dialogs 103, 131 and 132 ----

enum class Kind { DefPushButton, PushButton, Label, Icon, Edit, Trackbar };

struct TitleRule {
    enum { Exact, AnyText, WebAddress, Ordinal } rule;
    const wchar_t *pwszText;
    WORD wOrdinal;
};

TitleRule Text(const wchar_t *pwsz)
{
    return {TitleRule::Exact, pwsz, 0};
}
TitleRule ResourceNumber(WORD w)
{
    return {TitleRule::Ordinal, nullptr, w};
}
const TitleRule makersText = {TitleRule::AnyText, nullptr, 0};
const TitleRule makersWebAddress = {TitleRule::WebAddress, nullptr, 0};

struct ControlRow {
    int id; // -1: a control the program never addresses
    Kind kind;
    TitleRule title;
    std::array<short, 4> rect;
    DWORD dwStyleBits; // bits the control carries beyond those of its kind
};

struct DialogRow {
    WORD wId;
    const wchar_t *pwszCaption;
    short cx, cy;
    std::vector<ControlRow> controls; // in tab order
};

const DWORD dwModalFrameStyle = WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;

const DialogRow aDialogs[] = {
    {103,
     L"Pelto のバージョン情報",
     218,
     59,
     {{2, Kind::Icon, ResourceNumber(107), {8, 8, 20, 20}, 0},
      {-1, Kind::Label, Text(L"Pelto Version 1.00"), {40, 8, 108, 8}, SS_NOPREFIX},
      {-1, Kind::Label, makersText, {40, 24, 124, 8}, 0},
      {IDOK, Kind::DefPushButton, Text(L"OK"), {160, 4, 50, 14}, 0},
      {1003, Kind::Label, makersWebAddress, {40, 40, 92, 8}, SS_NOTIFY}}},
    {131,
     L"文字の入力",
     187,
     71,
     {{IDOK, Kind::DefPushButton, Text(L"OK"), {130, 7, 50, 14}, WS_TABSTOP},
      {IDCANCEL, Kind::PushButton, Text(L"ｷｬﾝｾﾙ"), {130, 24, 50, 14}, WS_TABSTOP},
      {1000, Kind::Edit, Text(L""), {8, 8, 116, 14}, WS_TABSTOP},
      {1001, Kind::PushButton, Text(L"フォント(&F)..."), {131, 45, 50, 14}, WS_TABSTOP}}},
    {132,
     L"ペンの太さ",
     187,
     47,
     {{IDOK, Kind::DefPushButton, Text(L"OK"), {130, 7, 50, 14}, WS_TABSTOP},
      {IDCANCEL, Kind::PushButton, Text(L"ｷｬﾝｾﾙ"), {130, 24, 50, 14}, WS_TABSTOP},
      {1002, Kind::Trackbar, Text(L""), {12, 12, 100, 28}, WS_TABSTOP},
      {-1, Kind::Label, Text(L"1"), {4, 16, 8, 8}, 0},
      {-1, Kind::Label, Text(L"10"), {116, 16, 11, 8}, 0}}},
};

bool IsClass(const DialogItem &item, const wchar_t *pwszClass)
{
    return lstrcmpiW(item.wstrClass.c_str(), pwszClass) == 0;
}

void ExpectKind(const DialogItem &item, Kind kind)
{
    DWORD dwStyle = item.dwStyle;
    DWORD dwStaticType = dwStyle & SS_TYPEMASK;
    switch (kind) {
    case Kind::DefPushButton:
    case Kind::PushButton:
        EXPECT_TRUE(IsClass(item, L"Button")) << item.wstrClass;
        EXPECT_EQ(dwStyle & BS_TYPEMASK, DWORD(kind == Kind::DefPushButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON));
        break;
    case Kind::Label:
        EXPECT_TRUE(IsClass(item, L"Static")) << item.wstrClass;
        EXPECT_TRUE(dwStaticType <= SS_RIGHT || dwStaticType == SS_SIMPLE || dwStaticType == SS_LEFTNOWORDWRAP)
            << "a text, not static type " << dwStaticType;
        break;
    case Kind::Icon:
        EXPECT_TRUE(IsClass(item, L"Static")) << item.wstrClass;
        EXPECT_EQ(dwStaticType, DWORD(SS_ICON));
        break;
    case Kind::Edit:
        EXPECT_TRUE(IsClass(item, L"Edit")) << item.wstrClass;
        EXPECT_EQ(dwStyle & (ES_AUTOHSCROLL | WS_BORDER), DWORD(ES_AUTOHSCROLL | WS_BORDER));
        EXPECT_FALSE(dwStyle & ES_MULTILINE);
        break;
    case Kind::Trackbar:
        EXPECT_TRUE(IsClass(item, L"msctls_trackbar32")) << item.wstrClass;
        EXPECT_TRUE(dwStyle & TBS_AUTOTICKS);
        EXPECT_FALSE(dwStyle & TBS_VERT);
        break;
    }
}

void ExpectTitle(const NameOrOrdinal &title, const TitleRule &rule)
{
    switch (rule.rule) {
    case TitleRule::Exact:
        EXPECT_EQ(title.wOrdinal, 0);
        EXPECT_EQ(title.wstrText, rule.pwszText);
        break;
    case TitleRule::AnyText:
        EXPECT_EQ(title.wOrdinal, 0);
        EXPECT_FALSE(title.wstrText.empty());
        break;
    case TitleRule::WebAddress:
        EXPECT_EQ(title.wOrdinal, 0);
        EXPECT_TRUE(title.wstrText.starts_with(L"http://") || title.wstrText.starts_with(L"https://"))
            << title.wstrText;
        break;
    case TitleRule::Ordinal: EXPECT_EQ(title.wOrdinal, rule.wOrdinal) << "text " << title.wstrText; break;
    }
}

TEST_F(ResourcesTest, DialogTemplatesHaveTheDescribedControls)
{
    for (const DialogRow &row : aDialogs) {
        SCOPED_TRACE(::testing::Message() << "dialog " << row.wId);
        std::span<const BYTE> bytes = ResourceBytes(RT_DIALOG, row.wId);
        ASSERT_FALSE(bytes.empty());
        DialogTemplate dlg = ParseDialog(bytes);
        EXPECT_FALSE(dlg.fOverrun);
        EXPECT_EQ(dlg.dwStyle & dwModalFrameStyle, dwModalFrameStyle) << std::hex << dlg.dwStyle;
        EXPECT_EQ(dlg.rect[2], row.cx);
        EXPECT_EQ(dlg.rect[3], row.cy);
        EXPECT_EQ(dlg.menu.wOrdinal, 0);
        EXPECT_EQ(dlg.menu.wstrText, L"") << "no menu";
        EXPECT_EQ(dlg.windowClass.wOrdinal, 0);
        EXPECT_EQ(dlg.windowClass.wstrText, L"") << "the system's dialog class";
        EXPECT_EQ(dlg.wstrCaption, row.pwszCaption);
        EXPECT_EQ(dlg.wPointSize, 9);
        EXPECT_EQ(dlg.wstrFace, L"ＭＳ Ｐゴシック");
        ASSERT_EQ(dlg.items.size(), row.controls.size());
        for (size_t i = 0; i < row.controls.size(); i++) {
            const ControlRow &control = row.controls[i];
            const DialogItem &item = dlg.items[i];
            SCOPED_TRACE(::testing::Message() << "control " << i << " (id " << control.id << ")");
            if (control.id == -1) {
                EXPECT_TRUE(item.id == -1 || item.id == 0) << item.id;
            } else {
                EXPECT_EQ(item.id, control.id);
            }
            EXPECT_EQ(item.rect, control.rect);
            EXPECT_EQ(item.dwStyle & (WS_CHILD | WS_VISIBLE), DWORD(WS_CHILD | WS_VISIBLE));
            EXPECT_EQ(item.dwStyle & control.dwStyleBits, control.dwStyleBits) << std::hex << item.dwStyle;
            ExpectKind(item, control.kind);
            ExpectTitle(item.title, control.title);
        }
    }
}

TEST_F(ResourcesTest, AboutBoxHasItsExactStyleAndPlace)
{
    DialogTemplate dlg = ParseDialog(ResourceBytes(RT_DIALOG, 103));
    EXPECT_EQ(dlg.dwStyle, 0x00C800C0u) << "style 0x" << std::hex << dlg.dwStyle;
    EXPECT_EQ(dlg.rect, (std::array<short, 4>{22, 17, 218, 59}));
}

// ---- Cursors, bitmaps and icon ----

struct CursorRow {
    WORD wId;
    WORD xHotSpot, yHotSpot;
};

const CursorRow aCursors[] = {
    {133, 15, 16}, // cross-hair of the line, shape and text tools
    {134, 16, 15}, // circle of the eraser
    {135, 3, 27},  // tip of the pencil
    {138, 6, 0},   // finger tip of the hand over the web address
};

// The BITMAPINFOHEADER at the start of an image's data; zeros when the data is shorter.
BITMAPINFOHEADER ReadBitmapHeader(std::span<const BYTE> bytes)
{
    BITMAPINFOHEADER bih = {};
    if (bytes.size() >= sizeof bih)
        memcpy(&bih, bytes.data(), sizeof bih);
    return bih;
}

// The image numbers of a group icon or group cursor, with the group's type (1 icon, 2 cursor).
std::vector<WORD> ReadGroupImageIds(std::span<const BYTE> bytes, WORD *pwType)
{
    ByteReader reader{bytes};
    reader.Skip(2);
    *pwType = reader.Word();
    std::vector<WORD> ids(reader.Word());
    for (WORD &id : ids) {
        reader.Skip(12); // size, colours, planes, bit count, byte count
        id = reader.Word();
    }
    return reader.fOverrun ? std::vector<WORD>() : ids;
}

TEST_F(ResourcesTest, CursorsAreOneMonochromeImageWithTheirHotSpots)
{
    for (const CursorRow &row : aCursors) {
        SCOPED_TRACE(::testing::Message() << "cursor " << row.wId);
        WORD wType = 0;
        std::vector<WORD> ids = ReadGroupImageIds(ResourceBytes(RT_GROUP_CURSOR, row.wId), &wType);
        EXPECT_EQ(wType, 2);
        ASSERT_EQ(ids.size(), 1u);
        std::span<const BYTE> image = ResourceBytes(RT_CURSOR, ids[0]);
        ByteReader reader{image};
        WORD xHotSpot = reader.Word();
        WORD yHotSpot = reader.Word();
        EXPECT_EQ(xHotSpot, row.xHotSpot);
        EXPECT_EQ(yHotSpot, row.yHotSpot);
        BITMAPINFOHEADER bih = ReadBitmapHeader(image.subspan(std::min<size_t>(4, image.size())));
        EXPECT_EQ(bih.biWidth, 32);
        EXPECT_EQ(bih.biHeight, 64) << "32 rows of colour and 32 of mask";
        EXPECT_EQ(bih.biBitCount, 1);
    }
}

struct BitmapRow {
    WORD wId;
    LONG cx; // a strip of 16 x 15 images
};

const BitmapRow aToolbarBitmaps[] = {
    {129, 10 * 16}, // drawing bar
    {136, 8 * 16},  // playback bar
    {137, 1 * 16},  // compression options button of the standard bar
};

TEST_F(ResourcesTest, ToolbarBitmapsAreStripsOf16ColourImages)
{
    for (const BitmapRow &row : aToolbarBitmaps) {
        SCOPED_TRACE(::testing::Message() << "bitmap " << row.wId);
        BITMAPINFOHEADER bih = ReadBitmapHeader(ResourceBytes(RT_BITMAP, row.wId));
        EXPECT_EQ(bih.biWidth, row.cx);
        EXPECT_EQ(abs(bih.biHeight), 15);
        EXPECT_EQ(bih.biBitCount, 4);
    }
}

TEST_F(ResourcesTest, ProgramIconHasA32AndA16Image)
{
    WORD wType = 0;
    std::vector<WORD> ids = ReadGroupImageIds(ResourceBytes(RT_GROUP_ICON, 107), &wType);
    EXPECT_EQ(wType, 1);
    std::vector<LONG> sizes;
    for (WORD id : ids) {
        SCOPED_TRACE(::testing::Message() << "icon image " << id);
        BITMAPINFOHEADER bih = ReadBitmapHeader(ResourceBytes(RT_ICON, id));
        EXPECT_EQ(bih.biHeight, 2 * bih.biWidth) << "an image and its mask";
        EXPECT_EQ(bih.biBitCount, 4);
        sizes.push_back(bih.biWidth);
    }
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, (std::vector<LONG>{16, 32}));
}

// ---- Version and manifest ----

TEST_F(ResourcesTest, VersionResourceAgreesWithTheAboutBox)
{
    ByteReader reader{ResourceBytes(RT_VERSION, 1)};
    reader.Skip(6); // length, value length, type
    EXPECT_EQ(reader.Text(), L"VS_VERSION_INFO");
    reader.AlignDword();
    EXPECT_EQ(reader.Dword(), 0xFEEF04BDu) << "fixed file information";
    reader.Skip(4); // structure version
    EXPECT_EQ(reader.Dword(), 0x00010000u) << "file version 1.0, as \"Version 1.00\" in the about box";
    EXPECT_FALSE(reader.fOverrun);
}

TEST_F(ResourcesTest, ManifestAsksForCommonControls6AndDpiAwareness)
{
    std::span<const BYTE> bytes = ResourceBytes(RT_MANIFEST, 1);
    std::string strManifest(bytes.begin(), bytes.end());
    size_t posName = strManifest.find("name=\"Microsoft.Windows.Common-Controls\"");
    ASSERT_NE(posName, std::string::npos);
    size_t posStart = strManifest.rfind('<', posName);
    std::string strIdentity = strManifest.substr(posStart, strManifest.find('>', posName) - posStart);
    EXPECT_NE(strIdentity.find("version=\"6.0.0.0\""), std::string::npos) << strIdentity;
    size_t posDpi = strManifest.find("<dpiAware");
    ASSERT_NE(posDpi, std::string::npos);
    std::string strValue = strManifest.substr(strManifest.find('>', posDpi) + 1, 4);
    EXPECT_EQ(strValue, "true");
}

} // namespace
