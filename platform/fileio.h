/* fileio.h - saving and loading a small file without trusting the folder.
 *
 * The only place that knows about the file system. A save never overrides a
 * refusal of the file system, never follows a name someone else left, never
 * blocks on a FIFO or a device, and never loses the old file: the new bytes
 * go to a fresh, uniquely named temporary file beside the real target, which
 * is flushed to the disk and then renamed over the target. Only when that is
 * impossible or would change the file's identity (a read-only folder, a file
 * with several hard links, an owner the program cannot give a new file) is
 * the file rewritten in place through the descriptor the save opened.
 */
#ifndef PLATFORM_FILEIO_H
#define PLATFORM_FILEIO_H

#include <cstddef>

/* Result of SaveBytes and LoadBytes. */
enum FileResult {
    FILE_DONE = 1,        /* every byte saved (and flushed to the disk), or read */
    FILE_OPEN_FAILED = 0, /* cannot be opened, or not a regular file: nothing changed */
    FILE_IO_FAILED = -1   /* opened, but reading or writing it failed */
};

/* Replaces the contents of the file name with the size bytes at bytes.
 * The file is first opened for writing without truncating it (created,
 * exclusively, when absent); FILE_OPEN_FAILED when that open fails or the
 * file is not a regular file (folder, FIFO, device, dangling link), with
 * nothing changed. A symbolic link is followed: its target gets the bytes and
 * the link stays. FILE_IO_FAILED when a later step fails: the temporary file
 * is removed, a file the save created is removed again, and the old file is
 * as it was (unless it was being rewritten in place, where a failed write
 * may leave it damaged, or only the final sync of the folder failed, after
 * the new file had replaced it). The caller keeps bytes. A file-size limit makes the
 * write fail instead of ending the process (SIGXFSZ is ignored from the
 * first save on). */
FileResult SaveBytes(const char *name, const void *bytes, size_t size);

/* Reads up to cap bytes of the file name into buf and stores their number
 * in *got. FILE_OPEN_FAILED when the file cannot be opened or is not a
 * regular file (never waiting on a FIFO or a device); FILE_IO_FAILED when a
 * read fails. *got is set only on FILE_DONE. The caller owns buf. */
FileResult LoadBytes(const char *name, void *buf, size_t cap, size_t *got);

#endif
