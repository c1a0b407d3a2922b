// Bounded formatting: no text, however long its path arguments, runs past its buffer,
// and a cut never leaves half of a double-byte character at the end.
#include "app/format.h"

#include <cstdarg>
#include <cstdio>

static void TrimDanglingLeadByte(char *psz)
{
    char *pszLast = NULL;
    for (char *p = psz; *p; p = CharNextA(p))
        pszLast = p;
    if (pszLast && IsDBCSLeadByte((BYTE)*pszLast) && pszLast[1] == '\0')
        *pszLast = '\0';
}

BOOL FormatString(char *pszBuffer, size_t cbBuffer, const char *pszFormat, ...)
{
    if (cbBuffer == 0)
        return FALSE;
    va_list args;
    va_start(args, pszFormat);
    int cch = std::vsnprintf(pszBuffer, cbBuffer, pszFormat, args);
    va_end(args);
    if (cch < 0) {
        pszBuffer[0] = '\0';
        return FALSE;
    }
    if ((size_t)cch < cbBuffer)
        return TRUE;
    TrimDanglingLeadByte(pszBuffer);
    return FALSE;
}

char *FindLineBreak(char *psz)
{
    while (*psz && *psz != '\n')
        psz = CharNextA(psz);
    return psz;
}
