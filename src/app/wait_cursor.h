// The hourglass for the length of a file operation.
#pragma once

#include <windows.h>

class WaitCursorScope {
public:
    WaitCursorScope();
    ~WaitCursorScope();
    WaitCursorScope(const WaitCursorScope &) = delete;
    WaitCursorScope &operator=(const WaitCursorScope &) = delete;

private:
    HCURSOR hcurPrevious;
};
