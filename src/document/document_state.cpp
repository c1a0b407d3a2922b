// Definitions of the fields that only the document's units share.
#include "document/document_state.h"

BYTE fTempDocument;
char szTempFile[MAX_PATH];
AVICOMPRESSOPTIONS aCompressOptions[SLOT_COUNT];
LPAVICOMPRESSOPTIONS apCompressOptions[SLOT_COUNT] = {&aCompressOptions[SLOT_VIDEO], &aCompressOptions[SLOT_AUDIO]};
