// Compression option records, one per stream slot: the document's own, their defaults, and the
// platform's compression dialog that edits them.
#pragma once

#include <windows.h>
#include <vfw.h>

// Fills the records with the defaults: uncompressed video, audio in the document's own format.
// With fFixedVideo only the video record is filled, without looking at any stream.
void InitCompressOptions(LPAVICOMPRESSOPTIONS *ppOptions, BOOL fFixedVideo);
void ChooseCompressOptions();
