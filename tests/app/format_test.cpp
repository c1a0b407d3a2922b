// Bounded formatting: a long path is cut to the buffer, never past it nor inside a double-byte character (表: 95 5C).
#include "app/format.h"

#include <gtest/gtest.h>

TEST(FormatStringTest, FitsOrIsCutAtACharacterBoundary)
{
    const std::tuple<size_t, const char *, const char *, BOOL> aCases[] = {
        {16, "abc", "<abc>", TRUE},
        {6, "abcd", "<abcd", FALSE},
        {4, "\x95\x5C\x95\x5C", "<\x95\x5C", FALSE},
        {5, "\x95\x5C\x95\x5C", "<\x95\x5C", FALSE},
        {1, "abc", "", FALSE},
    };
    for (auto [cbBuffer, pszArgument, pszExpected, fWhole] : aCases) {
        char szBuffer[33] = "################################";
        EXPECT_EQ(FormatString(szBuffer, cbBuffer, "<%s>", pszArgument), fWhole) << cbBuffer;
        EXPECT_STREQ(szBuffer, pszExpected) << cbBuffer;
        EXPECT_EQ(szBuffer[cbBuffer], '#') << "wrote past the buffer of " << cbBuffer;
    }
}
