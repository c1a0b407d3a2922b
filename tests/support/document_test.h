// The harness for tests that need an open document: media made by ffmpeg on the host in the test's own
// folder, opened as the user opens a file, and removed again at the end.
#pragma once

#include "support/program_test.h"

#include <string>
#include <vector>

class DocumentTest : public ProgramTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes strTempDir + pszName with ffmpeg and these arguments; the file is removed at the end.
    std::string MakeMedia(const char *pszName, const std::string &strArguments);
    // A file the test made itself, to be removed at the end.
    std::string AddMedia(const char *pszName);
    // Makes a raw RGB video (stored bottom-up, so every decoder here reads it exactly) of the given size and
    // frame count at 10 frames a second from ffmpeg's test pattern, and opens it as the document.
    void OpenPatternVideo(int cx = 320, int cy = 240, int cFrames = 20);

    std::vector<std::string> media;
};
