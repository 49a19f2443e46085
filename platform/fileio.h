/* fileio.h - saving and loading a small file without trusting the folder.
 *
 * The decisions of a save, written once for every system (the steps
 * themselves are fileos.h's). A save never overrides a refusal of the file
 * system, never follows a name someone else left, never blocks on a FIFO or
 * a device, and never shows a partial or empty file under the target's
 * name: the new bytes go to a new file on the target's folder, made durable
 * on the disk and then put in the target's place in one step. Only where the
 * folder refuses new files, or where a new file would split hard links or
 * lose the owner, the ACLs or the extended attributes the program cannot
 * give it, is the file rewritten in place.
 */
#ifndef PLATFORM_FILEIO_H
#define PLATFORM_FILEIO_H

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

/* Replaces the contents of the file name with the size bytes at bytes; the
 * caller keeps bytes. A symbolic link is followed: its target gets the bytes
 * and the link stays.
 *
 * FILE_OPEN_FAILED, with nothing changed, when the file may not be written,
 * is not a regular file, or, being absent, cannot be created. FILE_IO_FAILED
 * when a later step fails: the old file is kept, and so is the absence of an
 * absent one (only a rewrite in place can leave a failed write's bytes). On
 * both, *err holds the reason. FILE_DONE once the new bytes are in the
 * file's place, whatever happens after that. */
FileResult SaveBytes(const char *name, const void *bytes, size_t size, int *err);

/* Reads up to cap bytes of the file name into buf and stores their number
 * in *got. FILE_OPEN_FAILED when the file cannot be opened or is not a
 * regular file (never waiting on a FIFO or a device); FILE_IO_FAILED when a
 * read fails; *err then holds the reason. *got is set only on FILE_DONE. The
 * caller owns buf. */
FileResult LoadBytes(const char *name, void *buf, size_t cap, size_t *got, int *err);

/* The text of a reason of SaveBytes or LoadBytes ("Permission denied"). */
const char *FileErrorText(int err);

#endif
