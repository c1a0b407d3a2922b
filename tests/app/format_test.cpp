// Bounded formatting: a long path is cut to the buffer, never past it, and never inside a double-byte
// character ("表" is 0x95 0x5C).
#include "app/format.h"

#include <gtest/gtest.h>

TEST(FormatStringTest, FitsOrIsCutAtACharacterBoundary)
{
    const struct Case {
        size_t cbBuffer;
        const char *pszArgument, *pszExpected;
        BOOL fWhole;
    } aCases[] = {{16, "abc", "<abc>", TRUE},
                  {6, "abcd", "<abcd", FALSE},
                  {4, "\x95\x5C\x95\x5C", "<\x95\x5C", FALSE},
                  {5, "\x95\x5C\x95\x5C", "<\x95\x5C", FALSE},
                  {1, "abc", "", FALSE}};
    for (const Case &c : aCases) {
        char szBuffer[33] = "################################";
        EXPECT_EQ(FormatString(szBuffer, c.cbBuffer, "<%s>", c.pszArgument), c.fWhole) << c.cbBuffer;
        EXPECT_STREQ(szBuffer, c.pszExpected) << c.cbBuffer;
        EXPECT_EQ(szBuffer[c.cbBuffer], '#') << "wrote past the buffer of " << c.cbBuffer;
    }
}
