#include "support/host_tools.h"

#include <windows.h>

#include <fstream>
#include <sstream>

std::string ToHostPath(const std::string &strWindowsPath)
{
    using GetUnixName = char *(CDECL *)(const wchar_t *);
    static GetUnixName pfnGetUnixName =
        (GetUnixName)(void *)GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    if (!pfnGetUnixName)
        return std::string();
    wchar_t wszPath[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, strWindowsPath.c_str(), -1, wszPath, MAX_PATH);
    char *pszUnix = pfnGetUnixName(wszPath);
    if (!pszUnix)
        return std::string();
    std::string strUnix = pszUnix;
    HeapFree(GetProcessHeap(), 0, pszUnix);
    return strUnix;
}

// Scratch files of the host commands live in the host's own /tmp, reached as Z:\tmp.
static std::string MakeScratchName(const char *pszPrefix)
{
    char szName[MAX_PATH];
    GetTempFileNameA("Z:\\tmp", pszPrefix, 0, szName);
    return szName;
}

static std::string ReadWholeFile(const std::string &strPath)
{
    std::ifstream file(strPath, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

bool RunHostCommand(const std::string &strCommand, std::string *pstrOutput)
{
    std::string strScript = MakeScratchName("sh"), strLog = MakeScratchName("log"), strDone = MakeScratchName("end");
    std::string strHostScript = ToHostPath(strScript), strHostLog = ToHostPath(strLog);
    std::string strHostDone = ToHostPath(strDone);
    if (strHostScript.empty())
        return false;
    DeleteFileA(strDone.c_str());
    {
        // Wine cannot wait for a Unix process nor read its exit code: the script reports both through a
        // file that appears, whole, when the command has ended.
        std::ofstream script(strScript, std::ios::binary);
        script << "( " << strCommand << " ) >'" << strHostLog << "' 2>&1 </dev/null\n"
               << "echo $? >'" << strHostDone << ".part' && mv '" << strHostDone << ".part' '" << strHostDone
               << "'\n";
    }
    // A Unix program started straight from Windows gets no usable standard handles; through sh it does.
    std::string strCommandLine = "Z:\\bin\\sh \"" + strHostScript + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    bool fStarted = CreateProcessA(NULL, &strCommandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi);
    if (fStarted) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    for (int i = 0; fStarted && i < 6000 && GetFileAttributesA(strDone.c_str()) == INVALID_FILE_ATTRIBUTES; i++)
        Sleep(20);
    std::string strExit = ReadWholeFile(strDone);
    if (pstrOutput)
        *pstrOutput = ReadWholeFile(strLog);
    for (const std::string &strPath : {strScript, strLog, strDone})
        DeleteFileA(strPath.c_str());
    return strExit == "0\n";
}

bool MakeMediaWithFfmpeg(const std::string &strArguments, const std::string &strWindowsPath)
{
    std::string strHostPath = ToHostPath(strWindowsPath);
    if (strHostPath.empty())
        return false;
    std::string strOutput;
    bool fOk = RunHostCommand("ffmpeg -hide_banner -loglevel error -nostdin -y " + strArguments + " '" + strHostPath +
                                  "'",
                              &strOutput);
    return fOk && GetFileAttributesA(strWindowsPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}
