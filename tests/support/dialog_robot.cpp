#include "support/harness.h"

static DialogRobot *pActiveRobot;

DialogRobot::DialogRobot() : hhook(SetWindowsHookExA(WH_CBT, CbtProc, NULL, GetCurrentThreadId()))
{
    pActiveRobot = this;
}

DialogRobot::~DialogRobot()
{
    UnhookWindowsHookEx(hhook);
    pActiveRobot = nullptr;
    EXPECT_TRUE(answers.empty()) << answers.size() << " expected dialogs never came";
}

void DialogRobot::Expect(std::function<void(HWND)> answer)
{
    answers.push_back(std::move(answer));
}

void DialogRobot::ExpectText(const std::string &strText, int idItem)
{
    Expect([strText, idItem](HWND hdlg) {
        SetDlgItemTextA(hdlg, idItem, strText.c_str());
        PressButton(hdlg, IDOK);
    });
}

void DialogRobot::ExpectButton(int idButton)
{
    Expect([idButton](HWND hdlg) { PressButton(hdlg, idButton); });
}

void DialogRobot::PressButton(HWND hdlg, int idButton)
{
    PostMessageA(hdlg, WM_COMMAND, MAKEWPARAM(idButton, BN_CLICKED), (LPARAM)GetDlgItem(hdlg, idButton));
}

// A dialog activates again when its child dialog closes: each is answered once (the property marks it), from its
// modal loop, after its set-up.
LRESULT CALLBACK DialogRobot::CbtProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    HWND hdlg = (HWND)wParam;
    char szClass[16];
    if (nCode == HCBT_ACTIVATE && pActiveRobot && GetClassNameA(hdlg, szClass, sizeof szClass) &&
        lstrcmpA(szClass, "#32770") == 0 && !GetPropA(hdlg, "PeltoRobot") && SetPropA(hdlg, "PeltoRobot", hdlg))
        SetTimer(hdlg, 1, 10, AnswerTimerProc);
    return CallNextHookEx(NULL, nCode, wParam, lParam);
}

void CALLBACK DialogRobot::AnswerTimerProc(HWND hdlg, UINT, UINT_PTR idEvent, DWORD)
{
    KillTimer(hdlg, idEvent);
    char szCaption[256] = "", szText[1024] = "";
    GetWindowTextA(hdlg, szCaption, sizeof szCaption);
    GetDlgItemTextA(hdlg, 0xFFFF, szText, sizeof szText);
    pActiveRobot->seen.push_back({szCaption, szText});
    if (pActiveRobot->answers.empty()) {
        ADD_FAILURE() << "a dialog nobody expected: \"" << szCaption << "\" " << szText;
        PressButton(hdlg, IDCANCEL);
        return;
    }
    auto answer = std::move(pActiveRobot->answers.front());
    pActiveRobot->answers.erase(pActiveRobot->answers.begin());
    answer(hdlg);
}

std::wstring WidenAnsi(const std::string &str)
{
    wchar_t wsz[2048] = L"";
    MultiByteToWideChar(CP_ACP, 0, str.c_str(), -1, wsz, 2048);
    return wsz;
}

std::wstring GetWindowTextWide(HWND hwnd)
{
    wchar_t wsz[1024] = L"";
    GetWindowTextW(hwnd, wsz, 1024);
    return wsz;
}

std::string LoadText(UINT id)
{
    char sz[256] = "";
    LoadStringA(GetModuleHandleA(NULL), id, sz, sizeof sz);
    return sz;
}
