/* fileio.cpp - see fileio.h. */
#include "fileio.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdio>
#endif

bool RenameReplacing(const char *from, const char *to) {
#ifdef _WIN32
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
#else
    return rename(from, to) == 0;
#endif
}
