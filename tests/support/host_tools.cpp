#include "support/harness.h"

#include <algorithm>
#include <fstream>

bool IsWine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != NULL;
}

std::string ToHostPath(const std::string &strWindowsPath)
{
    static auto pfnGetUnixName = (char *(CDECL *)(const wchar_t *))(void *)GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    char *pszUnix = pfnGetUnixName ? pfnGetUnixName(WidenAnsi(strWindowsPath).c_str()) : NULL;
    std::string strUnix = pszUnix ? pszUnix : "";
    HeapFree(GetProcessHeap(), 0, pszUnix);
    return strUnix;
}

// The C library opens by the ANSI code page's name, as the program does.
std::string ReadFileBytes(const std::string &strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string &strPath, const std::string &strBytes)
{
    std::ofstream(strPath, std::ios::binary) << strBytes;
}

bool RunHostCommand(const std::string &strCommand, std::string *pstrOutput)
{
    char szScript[MAX_PATH];
    GetTempFileNameA("Z:\\tmp", "sh", 0, szScript);
    const std::string strScript = szScript, strLog = strScript + ".log", strDone = strScript + ".end";
    // Wine can neither wait for a Unix process nor read its exit code: the script reports both through a
    // file that appears, whole, when the command has ended. Started straight from Windows, a Unix program gets
    // no usable standard handles; through sh it does.
    const std::string strHostDone = ToHostPath(strDone);
    WriteFileBytes(strScript, "( " + strCommand + " ) >'" + ToHostPath(strLog) + "' 2>&1 </dev/null\necho $? >'" +
                                  strHostDone + ".part' && mv '" + strHostDone + ".part' '" + strHostDone + "'\n");
    if (WinExec(("Z:\\bin\\sh \"" + ToHostPath(strScript) + "\"").c_str(), SW_HIDE) > 31)
        for (DWORD dwStart = GetTickCount();
             GetFileAttributesA(strDone.c_str()) == INVALID_FILE_ATTRIBUTES && GetTickCount() - dwStart < 60000;)
            Sleep(10);
    std::string strExit = ReadFileBytes(strDone);
    if (pstrOutput)
        *pstrOutput = ReadFileBytes(strLog) + (strExit.empty() ? "(the command did not end within a minute)" : "");
    for (const std::string &strPath : {strScript, strLog, strDone})
        DeleteFileA(strPath.c_str());
    return strExit == "0\n";
}

// What ffmpeg writes of a file with these output options to its standard output, without what it says of the file.
static std::string ExtractWithFfmpeg(const std::string &strPath, const std::string &strOptions)
{
    std::string strBytes;
    RunHostCommand("ffmpeg -nostdin -i '" + ToHostPath(strPath) + "' " + strOptions + " - 2>/dev/null", &strBytes);
    return strBytes;
}

std::vector<Pixels> DecodeWithFfmpeg(const std::string &strPath, int cx, int cy)
{
    std::string strBytes = ExtractWithFfmpeg(strPath, "-map 0:v:0 -f rawvideo -pix_fmt bgr0");
    std::vector<Pixels> frames;
    for (size_t nAt = 0; nAt + cx * cy * 4 <= strBytes.size(); nAt += cx * cy * 4) {
        Pixels &frame = frames.emplace_back(cx * cy);
        memcpy(frame.data(), strBytes.data() + nAt, cx * cy * 4);
        for (DWORD &dw : frame)
            dw &= 0xFFFFFF;
    }
    return frames;
}

std::string ReadSoundWithFfmpeg(const std::string &strPath, const std::string &strCodec)
{
    return ExtractWithFfmpeg(strPath, "-map 0:a -c:a " + strCodec + " -f data");
}

int CountSoundStreams()
{
    std::string strInputs;
    if (!RunHostCommand("pactl list short sink-inputs", &strInputs))
        return -1;
    return (int)std::count(strInputs.begin(), strInputs.end(), '\n');
}

std::string Probe(const std::string &strPath, const std::string &strArguments)
{
    std::string strOutput;
    RunHostCommand("ffprobe -v error " + strArguments + " '" + ToHostPath(strPath) + "'", &strOutput);
    return strOutput;
}

SmallFolder MountSmallFolder(const std::string &strSize)
{
    std::string strLeaf = "pelto-small-" + std::to_string(GetCurrentProcessId()), strMount = "/tmp/" + strLeaf;
    SmallFolder folder;
    if (!RunHostCommand("mkdir -p " + strMount + " && mount -t tmpfs -o size=" + strSize + " tmpfs " + strMount,
                        &folder.strError))
        return folder;
    folder.strFolder = "Z:\\tmp\\" + strLeaf + "\\";
    folder.unmount.reset((void *)1,
                         [strMount](void *) { RunHostCommand("umount " + strMount + " && rmdir " + strMount); });
    return folder;
}

std::string FormatResourceText(UINT idFormat, const std::string &strArgument)
{
    char szText[1024];
    wsprintfA(szText, LoadText(idFormat).c_str(), strArgument.c_str());
    return szText;
}
