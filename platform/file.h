/* file.h - saving and loading a small file without trusting the folder.
 *
 * One straight save and load per system (file_posix.cpp, file_windows.cpp)
 * and the little both share (file_common.cpp). A save never overrides a
 * refusal of the file system, never follows a name someone else left, never
 * blocks on a FIFO or a device, and never shows a partial file under the
 * target's name: the new bytes go to a new file beside it, durable on the
 * disk, that then takes the target's place in one rename. Where the folder
 * refuses new files, or a new file would split hard links or lose what the
 * program cannot give it, the file is rewritten in place under a lock, with
 * a synced copy of the old bytes beside it where the folder allows one.
 */
#ifndef PLATFORM_FILE_H
#define PLATFORM_FILE_H

#include <cstddef>

/* Result of SaveBytes and LoadBytes. */
enum FileResult {
    FILE_DONE = 1,        /* every byte saved (and durable on the disk), or read */
    FILE_OPEN_FAILED = 0, /* cannot be opened or created, or not a regular file */
    FILE_IO_FAILED = -1   /* opened, but a later step failed */
};

/* Reasons of a failure that no errno value names; every other reason is an
 * errno value (EACCES, ENOSPC, ENOMEM, ...). */
#define FILE_ERR_NOT_REGULAR (-1000) /* a FIFO, a device, a socket */
#define FILE_ERR_CHANGED (-1001)     /* the file was replaced during the save */
#define FILE_ERR_IN_USE (-1002)      /* another program holds the file (Windows) */

/* The most bytes of an old file that a rewrite in place keeps in memory to
 * put them back after a failure; a longer file is not rewritten (EFBIG). */
#define FILE_KEEP_LIMIT 65536

/* Replaces the contents of the file name with the size bytes at bytes; the
 * caller keeps bytes. A symbolic link is followed: its target gets the bytes
 * and the link stays.
 *
 * FILE_OPEN_FAILED, with nothing changed, when the file may not be written,
 * is not a regular file, or, being absent, cannot be created. FILE_IO_FAILED
 * when a later step fails: the old bytes are kept (or put back), and so is
 * the absence of an absent file. On both, *err holds the reason. FILE_DONE
 * once the new bytes are in the file's place and durable. */
FileResult SaveBytes(const char *name, const void *bytes, size_t size, int *err);

/* Reads up to cap bytes of the file name into buf and stores their number
 * in *got. FILE_OPEN_FAILED when the file cannot be opened or is not a
 * regular file (never waiting on a FIFO or a device); FILE_IO_FAILED when a
 * read fails; *err then holds the reason. *got is set only on FILE_DONE. */
FileResult LoadBytes(const char *name, void *buf, size_t cap, size_t *got, int *err);

/* The text of a reason of SaveBytes or LoadBytes ("Permission denied"). */
const char *FileErrorText(int err);

/* For the two system files: the malloc'd name of a file beside target,
 * folder being the length of target's folder part (its last separator
 * included): "<folder>.<file>.<program><tag>XXXXXX", the file's name cut
 * short (at a character boundary) where the whole name would pass 255
 * bytes. Null without memory. */
char *SideName(const char *target, size_t folder, const char *tag);

/* Tags of SideName: the new file of a save, and the copy of the old bytes
 * kept during a rewrite in place. */
#define SIDE_NEW "-"
#define SIDE_COPY "-old-"

#endif
