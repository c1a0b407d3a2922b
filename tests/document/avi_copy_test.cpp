// The copy routine's refusal of a copy it cannot finish, and the temporary names the open and the save take.
#include "document/avi_copy.h"
#include "document/file_commands.h"
#include "support/harness.h"

using AviCopyTest = ProgramTest;

TEST_F(AviCopyTest, CopyThatCannotMoveEverySampleFailsAndTemporaryNamesPassOverTakenOnes)
{
    // An empty frame in the middle (how ffmpeg marks a frame left out) has no size to copy by: the copy may not stop
    // there and call itself complete.
    std::string strEmpty = MakeMedia("gap.avi", "-f lavfi -i testsrc=size=32x24 -frames:v 5 -fps_mode passthrough "
                                                "-vf select='not(eq(n\\,2))' -c:v rawvideo -pix_fmt bgr24");
    AVICOMPRESSOPTIONS aOptions[2] = {};
    LPAVICOMPRESSOPTIONS apOptions[2] = {&aOptions[0], &aOptions[1]};
    EXPECT_FALSE(CopyAviFile(strEmpty.c_str(), AddFile("copy.avi").c_str(), apOptions, TRUE));
    auto nameOf = [this](UINT uNumber) {
        char sz[MAX_PATH];
        GetTempFileNameA(strTempDir.c_str(), "~CT", uNumber, sz);
        return std::string(sz, strlen(sz) - 4) + ".AVI";
    };
    for (UINT uNumber : {1u, 2u, 3u, 0xFFFFu})
        WriteFileBytes(AddFile(nameOf(uNumber).substr(strTempDir.size())), "");
    const size_t cFiles = ListFolder(strTempDir).size();
    const std::pair<DWORD, UINT> aCases[] = {
        {0, 4},       // a clock at 0 asked the platform for number 0, which makes a file of its own
        {0x10001, 4}, // the clock's count goes round: 65,537 starts at the taken number 3
        {0xFFFE, 4},  // 65,535 is taken: on from 1
        {7, 8},
    };
    char szName[MAX_PATH];
    for (auto [dwStart, uNumber] : aCases) {
        ASSERT_TRUE(MakeTempAviNameFrom(szName, dwStart));
        EXPECT_EQ(std::string(szName), nameOf(uNumber)) << dwStart;
        EXPECT_EQ(ListFolder(strTempDir).size(), cFiles) << "a name was made as a file";
    }
    SetEnvironmentVariableA("TMP", ("C:\\" + std::string(300, 't')).c_str());
    EXPECT_FALSE(MakeTempAviName(szName)) << "a temporary folder that gives no name";
    SetEnvironmentVariableA("TMP", strTempDir.c_str());
}
