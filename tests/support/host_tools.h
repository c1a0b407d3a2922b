// The host system's tools, run from a test on Wine: ffmpeg makes real-world media, and ffmpeg and ffprobe
// read what the program wrote, as an independent reader.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// True when the platform is Wine, whose AVI library has the defects the program compensates for.
bool IsWine();
// The host's path of a Windows path; empty where there is no host.
std::string ToHostPath(const std::string &strWindowsPath);
// Runs a shell command of the host; true when it exits with 0 within a minute. Its output goes into
// *pstrOutput when given.
bool RunHostCommand(const std::string &strCommand, std::string *pstrOutput = nullptr);
// The whole content of a file; empty when it cannot be read.
std::string ReadFileBytes(const std::string &strPath);
// The video frames of a file as ffmpeg decodes them, as 0xRRGGBB pixels from the top row down.
std::vector<std::vector<DWORD>> DecodeWithFfmpeg(const std::string &strPath, int cx, int cy);
// The first audio stream's bytes, as ffmpeg copies them out.
std::string ReadSoundWithFfmpeg(const std::string &strPath);
// ffprobe's answer to the arguments for the file.
std::string Probe(const std::string &strPath, const std::string &strArguments);
