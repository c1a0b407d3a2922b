#include "support/document_test.h"

#include "app/app_state.h"
#include "document/file_commands.h"
#include "support/host_tools.h"

void DocumentTest::SetUp()
{
    ProgramTest::SetUp();
    if (ToHostPath(strTempDir).empty())
        GTEST_SKIP() << "no host system with ffmpeg";
}

void DocumentTest::TearDown()
{
    fModified = 0;
    for (const std::string &strPath : media)
        DeleteFileA(strPath.c_str());
    ProgramTest::TearDown();
}

std::string DocumentTest::AddMedia(const char *pszName)
{
    std::string strPath = strTempDir + pszName;
    media.push_back(strPath);
    return strPath;
}

std::string DocumentTest::MakeMedia(const char *pszName, const std::string &strArguments)
{
    std::string strPath = AddMedia(pszName);
    EXPECT_TRUE(MakeMediaWithFfmpeg(strArguments, strPath)) << strArguments;
    return strPath;
}

void DocumentTest::OpenPatternVideo(int cx, int cy, int cFrames)
{
    std::string strArguments = "-f lavfi -i testsrc=size=" + std::to_string(cx) + "x" + std::to_string(cy) +
                               ":rate=10 -frames:v " + std::to_string(cFrames) +
                               " -vf vflip -flipped_raw_rgb 1 -c:v rawvideo -pix_fmt bgr24";
    std::string strPath = MakeMedia("pattern.avi", strArguments);
    ASSERT_TRUE(OpenFilePath(strPath.c_str()));
    ASSERT_NE(pavisVideo, (PAVISTREAM)NULL);
}
