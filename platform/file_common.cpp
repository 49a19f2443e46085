/* file_common.cpp - what the save of every system shares: the names of the
 * files it makes beside the target, and the reasons' texts. */
#include "file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "output.h"

/* The longest file name (not path) the file systems in use take. */
#define NAME_BYTES 255

char *SideName(const char *target, size_t folder, const char *tag) {
    const char *base = target + folder, *program = ProgramName();
    size_t extra = 2 + strlen(program) + strlen(tag) + 6; /* two dots and XXXXXX */
    size_t keep = strlen(base);
    if (keep + extra > NAME_BYTES) {
        keep = extra < NAME_BYTES ? NAME_BYTES - extra : 0;
        /* No half character: a cut name ends at an ASCII byte. */
        while (keep > 0 && (unsigned char)base[keep - 1] >= 0x80)
            keep--;
    }
    size_t n = folder + keep + extra + 1;
    char *name = (char *)malloc(n);
    if (name)
        snprintf(name, n, "%.*s.%.*s.%s%sXXXXXX", (int)folder, target, (int)keep, base, program,
                 tag);
    return name;
}

void FillNoise(char *name, const unsigned char *noise) {
    char *x = name + strlen(name) - 6;
    for (int i = 0; i < 6; i++)
        x[i] = "abcdefghijklmnopqrstuvwxyz0123456789"[noise[i] % 36];
}

const char *FileErrorText(FileError err) {
    switch (err.reason) {
    case FILE_OK:
        return "Success";
    case FILE_SYSTEM:
        return strerror(err.sys);
    case FILE_NOT_REGULAR:
        return "Not a regular file";
    case FILE_REPLACED:
        return "Replaced by another program during the save";
    case FILE_IN_USE:
        return "In use by another program";
    case FILE_TOO_LARGE:
        return "File too large";
    case FILE_OUTSIDE_STORE:
        return "Not in the folder that the browser keeps";
    }
    return "Unknown error";
}
