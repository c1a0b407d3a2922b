// The dialog robot: answers the modal dialogs of the test's thread the way a user would. Each dialog that
// activates is recorded (caption, message text) and handed the next queued answer; a dialog nobody expected
// fails the test and is cancelled, so that the test never hangs.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct SeenDialog {
    std::string strCaption; // in the ANSI code page
    std::string strText;    // a message box's text; empty for other dialogs
};

class DialogRobot {
public:
    DialogRobot();
    ~DialogRobot();

    // The next dialog that activates gets this answer, run inside its modal loop.
    void Expect(std::function<void(HWND hdlg)> answer);
    // The next dialog gets the text in its control idItem (the file dialogs' name box by default), then OK.
    void ExpectText(const std::string &strText, int idItem = 0x47C);
    // The next dialog gets a click on a button: a message box's OK, Yes, No or Cancel.
    void ExpectButton(int idButton = IDOK);
    const std::vector<SeenDialog> &Seen() const { return seen; }

    static void PressButton(HWND hdlg, int idButton);

private:
    static LRESULT CALLBACK CbtProc(int nCode, WPARAM wParam, LPARAM lParam);
    static void CALLBACK AnswerTimerProc(HWND hwnd, UINT uMsg, UINT_PTR idEvent, DWORD dwTime);
    HHOOK hhook;
    std::vector<std::function<void(HWND)>> answers;
    std::vector<SeenDialog> seen;
    std::vector<HWND> handled;
};

// An ANSI (code page 932) text as UTF-16, to compare with the Japanese texts of the tests.
std::wstring WidenAnsi(const std::string &str);
std::wstring GetWindowTextWide(HWND hwnd);
