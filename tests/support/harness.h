// The test harness: the real program started in this process as WinMain starts it, driven through its own message
// loop, with an empty settings key and a temporary folder of its own that must be empty again at the end; a robot
// for its dialogs; the host's ffmpeg and ffprobe; and the platform's AVI writer for what ffmpeg cannot make.
#pragma once

#include <windows.h>
#include <vfw.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using Pixels = std::vector<DWORD>; // 0x00RRGGBB, rows from the top

// Each dialog that activates is recorded and handed the next queued answer, run inside its modal loop; a dialog
// nobody expected fails the test and is cancelled, so that the test never hangs.
struct SeenDialog {
    std::string strCaption, strText; // in the ANSI code page; the text is a message box's
};

class DialogRobot {
public:
    DialogRobot();
    ~DialogRobot();
    void Expect(std::function<void(HWND hdlg)> answer);
    // The text in control idItem (the file dialogs' name box by default), then OK.
    void ExpectText(const std::string &strText, int idItem = 0x47C);
    void ExpectButton(int idButton = IDOK);
    const std::vector<SeenDialog> &Seen() const { return seen; }
    void ForgetAnswers() { answers.clear(); } // for an answer that turned out not to be needed
    static void PressButton(HWND hdlg, int idButton);

private:
    static LRESULT CALLBACK CbtProc(int nCode, WPARAM wParam, LPARAM lParam);
    static void CALLBACK AnswerTimerProc(HWND hwnd, UINT uMsg, UINT_PTR idEvent, DWORD dwTime);
    HHOOK hhook;
    std::vector<std::function<void(HWND)>> answers;
    std::vector<SeenDialog> seen;
};

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Dispatches the queue through the accelerators and runs the idle step until the queue stays empty.
    void Pump();
    void Command(UINT id);
    void CloseProgram();
    // Closes the program, when it still runs, and starts it again as a user does.
    void RestartProgram();
    // Pumps until the condition holds; false after ten seconds.
    bool PumpUntil(const std::function<bool()> &condition);
    void PumpFor(DWORD dwMs);
    // A file or folder of the test's folder, removed at the end (the latest first).
    std::string AddFile(const std::string &strName);
    // Makes strTempDir + strName with ffmpeg and these arguments.
    std::string MakeMedia(const std::string &strName, const std::string &strArguments);
    // A bottom-up raw RGB video of ffmpeg's test pattern at 10 frames a second (every reader here sees the same
    // pixels), with a 22,050 Hz tone when fSound, opened as the user opens a file.
    std::string OpenPattern(int cx, int cy, int cFrames, bool fSound = false);
    void OpenFile(const std::string &strPath);
    // A drag of a tool in a colour and width over the view: pressed at the first point, released at the last, with
    // the mouse taken by the main window before the release when fLoseMouse.
    void Drag(int nTool, COLORREF cr, int nWidth, const std::vector<POINT> &pts, bool fLoseMouse = false);

    std::string strTempDir; // with a trailing backslash
    HACCEL haccel = NULL;
    bool fEnded = false; // the message loop has taken WM_QUIT
    int nExitCode = -1;
    DialogRobot robot;

private:
    void StopProgram();
    std::vector<std::string> files;
    char szTmpKept[MAX_PATH] = "";
};

// The tool commands in the order of nTool.
extern const UINT aidTools[8];

void DeleteSettingsKey();
// The names in a folder (with its trailing backslash) that match a pattern, without "." and "..".
std::vector<std::string> ListFolder(const std::string &strFolder, const std::string &strPattern = "*");
// The process's handles: the platform's count, or where that answers 0 (Wine) each value a handle can have, tried.
DWORD CountHandles();
std::wstring WidenAnsi(const std::string &str); // code page 932 to UTF-16
std::wstring GetWindowTextWide(HWND hwnd);
std::string LoadText(UINT id); // a string of the program's resources

// What a drawing (or the view's paint, PaintView) leaves on a surface filled with one colour, the figure, and the
// frame where the figure is white with the figure everywhere else.
Pixels DrawOnSurface(int cx, int cy, DWORD dwFill, const std::function<void(HDC)> &draw);
Pixels ReadFigure();
Pixels Overlay(Pixels frame, const Pixels &figure);
// Each colour channel of each pixel within nTolerance.
::testing::AssertionResult SamePixels(const Pixels &actual, const Pixels &expected, int nTolerance = 0);

// The host: whether the platform is Wine, a path's host path, a shell command that must exit with 0 within a
// minute, whole files, and ffmpeg's and ffprobe's reading of a file.
bool IsWine();
std::string ToHostPath(const std::string &strWindowsPath);
bool RunHostCommand(const std::string &strCommand, std::string *pstrOutput = nullptr);
std::string ReadFileBytes(const std::string &strPath);
void WriteFileBytes(const std::string &strPath, const std::string &strBytes);
// The first video stream's frames as ffmpeg decodes them.
std::vector<Pixels> DecodeWithFfmpeg(const std::string &strPath, int cx, int cy);
// The sound stream's bytes as ffmpeg reads them: as stored, or decoded by strCodec (pcm_s16le, ...).
std::string ReadSoundWithFfmpeg(const std::string &strPath, const std::string &strCodec = "copy");
std::string Probe(const std::string &strPath, const std::string &strArguments);
// A host file system of strSize bytes ("1m"), mounted while the result lives; no folder where none can be mounted.
struct SmallFolder {
    std::string strFolder, strError; // the folder with its trailing backslash; why there is none
    std::shared_ptr<void> unmount;
};
SmallFolder MountSmallFolder(const std::string &strSize);
// A string of the program's resources with its one argument, as the program shows it.
std::string FormatResourceText(UINT idFormat, const std::string &strArgument);
// The tests' sound server (tools/sound-server.sh): how many streams of programs it holds (sound devices left open),
// -1 when it does not answer.
int CountSoundStreams();

// Files of the platform's AVI writer: uncompressed 24-bit frames (or 8-bit RLE, a run a row, over a palette of
// greys), frame n the grey level n * 16, and sound written after each of the first cWrites frames at the stream's
// end, in a pattern of its own.
struct AviSpec {
    DWORD dwRate = 25, dwScale = 1;
    std::vector<BYTE> audioFormat; // a WAVEFORMATEX with its extra bytes; empty for no sound
    LONG cBlocksPerWrite = 0, cWrites = 0;
    bool fRecords = false; // written in records: 'rec ' lists and an interleaved index
    LONG cx = 32, cy = 24, cFrames = 10;
    bool fRle = false; // a width of at most 255
};
std::vector<BYTE> MakeWaveFormat(WORD wFormatTag, WORD nChannels, DWORD nSamplesPerSec, WORD nBlockAlign);
bool MakeAviFile(const std::string &strPath, const AviSpec &spec, std::vector<BYTE> *pSound = nullptr);

// The first stream of a type of a file as the platform reads it, every sample's bytes in order.
struct StreamFacts {
    bool fPresent = false;
    AVISTREAMINFOA si = {};
    std::vector<BYTE> format, data;
    LONG lLength = 0;
};
StreamFacts ReadStreamFacts(const std::string &strPath, DWORD fccType);
