// The host system's tools, run from a test on Wine: ffmpeg makes real-world media and ffmpeg and
// ffprobe read what the program wrote, as an independent reader.
#pragma once

#include <string>

// The host's path of a Windows path; empty where there is no host (a test then skips).
std::string ToHostPath(const std::string &strWindowsPath);
// Runs a shell command of the host; true when it exits with 0. Its output (stdout and stderr) goes
// into *pstrOutput when given.
bool RunHostCommand(const std::string &strCommand, std::string *pstrOutput = nullptr);
// ffmpeg with the given arguments, writing strWindowsPath. True when the file was made.
bool MakeMediaWithFfmpeg(const std::string &strArguments, const std::string &strWindowsPath);
