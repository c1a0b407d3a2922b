// Saving. Until the annotated write exists nothing is saved: a save reports failure, so that a
// pending close or open is cancelled and the figure is never lost.
#include "document/save_commands.h"

BOOL SaveDocument()
{
    return FALSE;
}
