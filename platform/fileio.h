/* fileio.h - file-system steps whose behaviour differs between systems. */
#ifndef PLATFORM_FILEIO_H
#define PLATFORM_FILEIO_H

/* Renames the file from to the name to, replacing a file of that name when
 * there is one. Returns true on success; on failure both files are left as
 * they were. (rename() alone cannot do this on Windows, where it refuses an
 * existing target.) The name differs from the Win32 ReplaceFile, which
 * <windows.h> defines as a macro. */
bool RenameReplacing(const char *from, const char *to);

#endif
