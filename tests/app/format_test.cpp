// Bounded formatting: long paths are cut to the buffer, never past it, and never in the middle of
// a double-byte character.
#include "app/format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(FormatStringTest, FitsOrIsCutAtACharacterBoundary)
{
    struct Case {
        size_t cbBuffer;
        const char *pszArgument;
        const char *pszExpected;
        BOOL fExpectedWhole;
    } aCases[] = {
        {16, "abc", "<abc>", TRUE},
        {6, "abcd", "<abcd", FALSE},
        // "表" is 0x95 0x5C: a cut after its lead byte drops the lead byte too.
        {4, "\x95\x5C\x95\x5C", "<\x95\x5C", FALSE},
        {5, "\x95\x5C\x95\x5C", "<\x95\x5C", FALSE},
        {1, "abc", "", FALSE},
    };
    for (const Case &c : aCases) {
        char szBuffer[32];
        memset(szBuffer, '#', sizeof szBuffer);
        BOOL fWhole = FormatString(szBuffer, c.cbBuffer, "<%s>", c.pszArgument);
        EXPECT_STREQ(szBuffer, c.pszExpected) << c.cbBuffer;
        EXPECT_EQ(fWhole, c.fExpectedWhole) << c.cbBuffer;
        EXPECT_EQ(szBuffer[c.cbBuffer], '#') << "wrote past the buffer of " << c.cbBuffer;
    }
}

TEST(FormatStringTest, LongPathInAMessageStaysInItsBuffer)
{
    std::string strPath = "C:\\" + std::string(255, 'a') + ".avi";
    char szMessage[81];
    szMessage[80] = '#';
    EXPECT_FALSE(FormatString(szMessage, 80, "'%s' を開けませんでした", strPath.c_str()));
    EXPECT_EQ(strlen(szMessage), 79u);
    EXPECT_EQ(szMessage[80], '#');
}
