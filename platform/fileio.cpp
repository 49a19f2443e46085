/* fileio.cpp - see fileio.h. */
#include "fileio.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <sys/stat.h>
#endif

bool RenameReplacing(const char *from, const char *to) {
#ifdef _WIN32
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
#else
    return rename(from, to) == 0;
#endif
}

FILE *OpenForReading(const char *name) {
    FILE *fp = fopen(name, "rb");
#ifndef _WIN32
    struct stat st;
    if (fp && fstat(fileno(fp), &st) == 0 && S_ISDIR(st.st_mode)) {
        fclose(fp);
        errno = EISDIR;
        return nullptr;
    }
#endif
    return fp;
}
