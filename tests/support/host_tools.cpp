#include "support/harness.h"

bool IsWine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != NULL;
}

std::string ToHostPath(const std::string &strWindowsPath)
{
    using GetUnixName = char *(CDECL *)(const wchar_t *);
    static GetUnixName pfnGetUnixName =
        (GetUnixName)(void *)GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    wchar_t wszPath[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, strWindowsPath.c_str(), -1, wszPath, MAX_PATH);
    char *pszUnix = pfnGetUnixName ? pfnGetUnixName(wszPath) : NULL;
    std::string strUnix = pszUnix ? pszUnix : "";
    HeapFree(GetProcessHeap(), 0, pszUnix);
    return strUnix;
}

std::string ReadFileBytes(const std::string &strPath)
{
    HANDLE hfile = CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    DWORD cb = hfile == INVALID_HANDLE_VALUE ? 0 : GetFileSize(hfile, NULL);
    std::string strBytes(cb, '\0');
    if (cb && (!ReadFile(hfile, strBytes.data(), cb, &cb, NULL) || cb != strBytes.size()))
        strBytes.clear();
    CloseHandle(hfile);
    return strBytes;
}

void WriteFileBytes(const std::string &strPath, const std::string &strBytes)
{
    HANDLE hfile = CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    WriteFile(hfile, strBytes.data(), (DWORD)strBytes.size(), NULL, NULL);
    CloseHandle(hfile);
}

bool RunHostCommand(const std::string &strCommand, std::string *pstrOutput)
{
    char szScript[MAX_PATH];
    GetTempFileNameA("Z:\\tmp", "sh", 0, szScript);
    std::string strLog = std::string(szScript) + ".log", strDoneFile = std::string(szScript) + ".end";
    const char *szLog = strLog.c_str(), *szDone = strDoneFile.c_str();
    // Wine can neither wait for a Unix process nor read its exit code: the script reports both through a
    // file that appears, whole, when the command has ended. Started straight from Windows, a Unix program gets
    // no usable standard handles; through sh it does.
    std::string strDone = ToHostPath(szDone), strCommandLine = "Z:\\bin\\sh \"" + ToHostPath(szScript) + "\"";
    std::string strText = "( " + strCommand + " ) >'" + ToHostPath(szLog) + "' 2>&1 </dev/null\necho $? >'" + strDone +
                          ".part' && mv '" + strDone + ".part' '" + strDone + "'\n";
    WriteFileBytes(szScript, strText);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (CreateProcessA(NULL, &strCommandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        for (DWORD dwStart = GetTickCount();
             GetFileAttributesA(szDone) == INVALID_FILE_ATTRIBUTES && GetTickCount() - dwStart < 60000;)
            Sleep(10);
    }
    std::string strExit = ReadFileBytes(szDone);
    if (pstrOutput)
        *pstrOutput = ReadFileBytes(szLog) + (strExit.empty() ? "(the command did not end within a minute)" : "");
    for (const char *pszPath : {(const char *)szScript, szLog, szDone})
        DeleteFileA(pszPath);
    return strExit == "0\n";
}

// What ffmpeg writes of a file with these output options, read back.
static std::string ExtractWithFfmpeg(const std::string &strPath, const std::string &strOptions)
{
    std::string strRaw = strPath + ".raw";
    RunHostCommand("ffmpeg -loglevel error -nostdin -y -i '" + ToHostPath(strPath) + "' " + strOptions + " '" +
                   ToHostPath(strRaw) + "'");
    std::string strBytes = ReadFileBytes(strRaw);
    DeleteFileA(strRaw.c_str());
    return strBytes;
}

std::vector<std::vector<DWORD>> DecodeWithFfmpeg(const std::string &strPath, int cx, int cy)
{
    std::string strBytes = ExtractWithFfmpeg(strPath, "-map 0:v -f rawvideo -pix_fmt bgr0");
    std::vector<std::vector<DWORD>> frames;
    for (size_t nAt = 0; nAt + (size_t)cx * cy * 4 <= strBytes.size(); nAt += (size_t)cx * cy * 4) {
        frames.emplace_back((size_t)cx * cy);
        memcpy(frames.back().data(), &strBytes[nAt], (size_t)cx * cy * 4);
        for (DWORD &dw : frames.back())
            dw &= 0xFFFFFF;
    }
    return frames;
}

std::string ReadSoundWithFfmpeg(const std::string &strPath, const std::string &strCodec)
{
    return ExtractWithFfmpeg(strPath, "-map 0:a -c:a " + strCodec + " -f data");
}

bool HasSoundServer()
{
    return RunHostCommand("pactl info");
}

bool IsSoundStreamOpen()
{
    std::string strInputs;
    return RunHostCommand("pactl list short sink-inputs", &strInputs) && !strInputs.empty();
}

void StartSoundRecording(const std::string &strFormat, const std::string &strPath)
{
    std::string strHost = ToHostPath(strPath);
    EXPECT_TRUE(RunHostCommand("parec --latency-msec=20 -d nullsink.monitor " + strFormat + " >'" + strHost +
                               "' 2>/dev/null & echo $! >'" + strHost + ".pid'"));
    Sleep(300); // the reader is connected and the sink's silence flows
}

std::string StopSoundRecording(const std::string &strPath)
{
    std::string strHost = ToHostPath(strPath);
    EXPECT_TRUE(RunHostCommand("kill $(cat '" + strHost + ".pid') && rm '" + strHost + ".pid'"));
    std::string strBytes = ReadFileBytes(strPath);
    DeleteFileA(strPath.c_str());
    return strBytes;
}

std::string Probe(const std::string &strPath, const std::string &strArguments)
{
    std::string strOutput;
    RunHostCommand("ffprobe -v error " + strArguments + " '" + ToHostPath(strPath) + "'", &strOutput);
    return strOutput;
}
