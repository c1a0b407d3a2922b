#include "support/dialog_robot.h"

#include <algorithm>

static DialogRobot *pActiveRobot;
static const UINT_PTR ID_ANSWER_TIMER = 0x7E57;

DialogRobot::DialogRobot()
{
    pActiveRobot = this;
    hhook = SetWindowsHookExA(WH_CBT, CbtProc, NULL, GetCurrentThreadId());
}

DialogRobot::~DialogRobot()
{
    UnhookWindowsHookEx(hhook);
    pActiveRobot = nullptr;
}

void DialogRobot::Expect(std::function<void(HWND)> answer)
{
    answers.push_back(std::move(answer));
}

void DialogRobot::PressButton(HWND hdlg, int idButton)
{
    PostMessageA(hdlg, WM_COMMAND, MAKEWPARAM(idButton, BN_CLICKED), (LPARAM)GetDlgItem(hdlg, idButton));
}

void DialogRobot::SetItemText(HWND hdlg, int idItem, const char *pszText)
{
    SetDlgItemTextA(hdlg, idItem, pszText);
}

LRESULT CALLBACK DialogRobot::CbtProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HCBT_ACTIVATE && pActiveRobot && wParam) {
        char szClass[16];
        if (GetClassNameA((HWND)wParam, szClass, sizeof szClass) && lstrcmpA(szClass, "#32770") == 0)
            pActiveRobot->OnDialogActivated((HWND)wParam);
    }
    return CallNextHookEx(NULL, nCode, wParam, lParam);
}

void DialogRobot::OnDialogActivated(HWND hdlg)
{
    // A dialog activates again when a child dialog of its own closes: answer each dialog once.
    if (std::find(handled.begin(), handled.end(), hdlg) != handled.end())
        return;
    handled.push_back(hdlg);
    // The answer runs from the dialog's own modal loop, once the dialog has finished its set-up.
    SetTimer(hdlg, ID_ANSWER_TIMER, 10, AnswerTimerProc);
}

void CALLBACK DialogRobot::AnswerTimerProc(HWND hdlg, UINT, UINT_PTR idEvent, DWORD)
{
    KillTimer(hdlg, idEvent);
    DialogRobot *robot = pActiveRobot;
    if (!robot)
        return;
    char szCaption[256] = "", szText[1024] = "";
    GetWindowTextA(hdlg, szCaption, sizeof szCaption);
    GetDlgItemTextA(hdlg, 0xFFFF, szText, sizeof szText);
    bool fExpected = !robot->answers.empty();
    robot->seen.push_back({szCaption, szText, fExpected});
    if (!fExpected) {
        PressButton(hdlg, IDCANCEL);
        return;
    }
    auto answer = std::move(robot->answers.front());
    robot->answers.erase(robot->answers.begin());
    answer(hdlg);
}

std::wstring GetWindowTextWide(HWND hwnd)
{
    wchar_t wsz[1024] = L"";
    GetWindowTextW(hwnd, wsz, 1024);
    return wsz;
}

std::wstring WidenAnsi(const std::string &str)
{
    wchar_t wsz[2048] = L"";
    MultiByteToWideChar(CP_ACP, 0, str.c_str(), -1, wsz, 2048);
    return wsz;
}
