// The dialog robot: answers the modal dialogs of the test's thread the way a user would.
// Each dialog that activates is recorded (caption, message text) and handed the next queued answer;
// a dialog that nobody expected is recorded and cancelled, so that a test never hangs.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct SeenDialog {
    std::string strCaption; // in the ANSI code page
    std::string strText;    // a message box's text; empty for other dialogs
    bool fExpected;
};

class DialogRobot {
public:
    DialogRobot();
    ~DialogRobot();

    // The next dialog that activates gets this answer, run inside its modal loop.
    void Expect(std::function<void(HWND hdlg)> answer);
    const std::vector<SeenDialog> &Seen() const { return seen; }

    static void PressButton(HWND hdlg, int idButton);
    static void SetItemText(HWND hdlg, int idItem, const char *pszText);

private:
    static LRESULT CALLBACK CbtProc(int nCode, WPARAM wParam, LPARAM lParam);
    static void CALLBACK AnswerTimerProc(HWND hwnd, UINT uMsg, UINT_PTR idEvent, DWORD dwTime);
    void OnDialogActivated(HWND hdlg);

    HHOOK hhook;
    std::vector<std::function<void(HWND)>> answers;
    std::vector<SeenDialog> seen;
    std::vector<HWND> handled;
};

// The text of a window in UTF-16, to compare with the Japanese texts of the tests.
std::wstring GetWindowTextWide(HWND hwnd);
// An ANSI (code page 932) text as UTF-16.
std::wstring WidenAnsi(const std::string &str);
