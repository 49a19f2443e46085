/* fileio.h - file-system steps whose behaviour differs between systems. */
#ifndef PLATFORM_FILEIO_H
#define PLATFORM_FILEIO_H

#include <cstdio>

/* Renames the file from to the name to, replacing a file of that name when
 * there is one. Returns true on success; on failure both files are left as
 * they were. (rename() alone cannot do this on Windows, where it refuses an
 * existing target.) The name differs from the Win32 ReplaceFile, which
 * <windows.h> defines as a macro. */
bool RenameReplacing(const char *from, const char *to);

/* Opens the file name for reading in binary mode, like fopen(name, "rb"),
 * but refuses a folder everywhere (POSIX opens one and fails only at the
 * first read; Windows refuses it at once). Returns null when it cannot open
 * a file. The caller closes what it gets. */
FILE *OpenForReading(const char *name);

#endif
