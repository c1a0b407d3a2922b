// A file cut short (a download or a recording that stopped) as the AVI library can read it: the library reads only
// by the index at the file's end, which such a file has lost, and reads nothing at all then from a file whose main
// header says it has one.
#pragma once

#include <windows.h>

enum CutRepair { CUT_NONE, CUT_REPAIRED, CUT_FAILED };

// CUT_NONE when pszPath holds its whole RIFF and index, or is no AVI file with a whole header list (the library
// judges those). Otherwise writes to pszWhole what is whole in it: its headers, then its movie list's whole data
// chunks in order, out of any record lists, a last sound chunk cut to its whole samples; without an index, and with
// the main header saying so, so that the library finds the chunks itself. CUT_FAILED when the copy could not be
// written or the long work was cancelled; the caller deletes pszWhole.
CutRepair RepairCutFile(const char *pszPath, const char *pszWhole);
