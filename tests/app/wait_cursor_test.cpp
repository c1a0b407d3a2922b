// The hourglass of a file operation, and the cursor it gives back on every exit.
#include "app/wait_cursor.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(WaitCursorScopeTest, ShowsTheHourglassAndRestoresTheCursorOnEveryExit)
{
    HCURSOR hcurArrow = LoadCursor(NULL, IDC_ARROW);
    HCURSOR hcurWait = LoadCursor(NULL, IDC_WAIT);
    SetCursor(hcurArrow);
    {
        WaitCursorScope wait;
        EXPECT_EQ(GetCursor(), hcurWait);
    }
    EXPECT_EQ(GetCursor(), hcurArrow);

    try {
        WaitCursorScope wait;
        throw std::runtime_error("file operation failed");
    } catch (const std::runtime_error &) {
        EXPECT_EQ(GetCursor(), hcurArrow);
    }
}
