// Fields that only the document's units share: the working copy of the open document and the
// document's compression options, one record per stream slot.
#pragma once

#include <windows.h>
#include <vfw.h>

#include "app/app_state.h"

extern BYTE fTempDocument;                                 // szTempFile names the working copy of the open document
extern char szTempFile[MAX_PATH];                          // path of that working copy; empty when there is none
extern AVICOMPRESSOPTIONS aCompressOptions[SLOT_COUNT];    // the document's compression options
extern LPAVICOMPRESSOPTIONS apCompressOptions[SLOT_COUNT]; // pointers to them, as the library takes them
