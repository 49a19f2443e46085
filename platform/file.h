/* file.h - saving and loading a small file without trusting the folder: one
 * straight save and load per system (file_posix.cpp, file_windows.cpp), and
 * what both share (file_common.cpp). How a save goes: README.md. */
#ifndef PLATFORM_FILE_H
#define PLATFORM_FILE_H

#include <cstddef>

/* Result of SaveBytes and LoadBytes. */
enum FileResult {
    FILE_DONE = 1,        /* every byte saved (and durable on the disk), or read */
    FILE_OPEN_FAILED = 0, /* cannot be opened or created, or not a regular file */
    FILE_IO_FAILED = -1   /* opened, but a later step failed */
};

/* Why a save or a load failed: the system's own reason, or one that the
 * system has no number for. */
enum FileReason {
    FILE_OK = 0,
    FILE_SYSTEM,        /* the system's error number is in sys */
    FILE_NOT_REGULAR,   /* a FIFO, a device, a socket */
    FILE_REPLACED,      /* the file was replaced by another program during the save */
    FILE_IN_USE,        /* another program holds the file (Windows) */
    FILE_TOO_LARGE,     /* longer than the program keeps in memory */
    FILE_OUTSIDE_STORE, /* the browser keeps no file by that name */
};
struct FileError {
    FileReason reason;
    int sys; /* an errno value, for FILE_SYSTEM */
};
static const FileError kOk = {FILE_OK, 0};
inline bool Failed(FileError e) {
    return e.reason != FILE_OK;
}

/* The most bytes of an old file that a rewrite in place keeps in memory to
 * put them back; a longer file is not rewritten (FILE_TOO_LARGE). */
#define FILE_KEEP_LIMIT 65536

/* Replaces the contents of the file name (of the file a symbolic link leads
 * to) with the size bytes at bytes. FILE_OPEN_FAILED, nothing changed, when
 * the file may not be written, is not a regular file, or, being absent,
 * cannot be created; FILE_IO_FAILED when a later step fails, the old bytes
 * kept or put back (and an absent file still absent); *err then holds the
 * reason. FILE_DONE once the new bytes are in place and durable. */
FileResult SaveBytes(const char *name, const void *bytes, size_t size, FileError *err);

/* Reads up to cap bytes of the file name into buf, their number into *got,
 * never while a save rewrites the file in place. FILE_OPEN_FAILED when it
 * cannot be opened or is not a regular file (never waiting on a FIFO or a
 * device), FILE_IO_FAILED when a read fails; *err then holds the reason. */
FileResult LoadBytes(const char *name, void *buf, size_t cap, size_t *got, FileError *err);

/* The text of a reason ("Permission denied"). */
const char *FileErrorText(FileError err);

/* The malloc'd name of a file beside target (folder: the length of target's
 * folder part): "<folder>.<file>.<program><tag>XXXXXX", the file's name cut
 * short where the whole would pass 255 bytes; null without memory. The
 * tags are SIDE_NEW for the new file of a save, SIDE_COPY for the copy of
 * the old bytes during a rewrite in place. */
char *SideName(const char *target, size_t folder, const char *tag);
/* Replaces the XXXXXX that end name with letters and digits chosen by the
 * six bytes at noise. */
void FillNoise(char *name, const unsigned char *noise);
#define SIDE_NEW "-"
#define SIDE_COPY "-old-"

#endif
