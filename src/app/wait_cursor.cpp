// Shows the system hourglass while a scope lives and puts the previous cursor back on every exit.
#include "app/wait_cursor.h"

WaitCursorScope::WaitCursorScope() : hcurPrevious(SetCursor(LoadCursor(NULL, IDC_WAIT)))
{
}

WaitCursorScope::~WaitCursorScope()
{
    SetCursor(hcurPrevious);
}
