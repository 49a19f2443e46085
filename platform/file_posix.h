/* file_posix.h - the steps that the POSIX save and load are made of
 * (file_posix_steps.cpp), for file_posix.cpp, and the one kind of error
 * value they return. */
#ifndef PLATFORM_FILE_POSIX_H
#define PLATFORM_FILE_POSIX_H

#include <cerrno>
#include <sys/stat.h>

#include "file.h"

inline FileError Sys(int e) {
    return {FILE_SYSTEM, e != 0 ? e : EIO};
}
inline FileError Why(FileReason reason) {
    return {reason, 0};
}
/* The outcome of a system call that returned r, -1 on a failure. */
inline FileError Call(long r) {
    return r != -1 ? kOk : Sys(errno);
}
inline bool Is(FileError e, int sys) {
    return e.reason == FILE_SYSTEM && e.sys == sys;
}

/* A refusal that leaves the rewrite in place as the way: the folder takes no
 * new file or gives up no name, or a new file cannot get the old one's owner
 * or attributes. */
inline bool Refused(FileError e) {
    return Is(e, EACCES) || Is(e, EPERM) || Is(e, EROFS) || Is(e, EOPNOTSUPP) || Is(e, ENOTSUP);
}
/* What linkat says where a name cannot be linked: no hard links, no /proc. */
inline bool CannotLink(FileError e) {
    return Is(e, EMLINK) || Is(e, EPERM) || Is(e, ENOSYS) || Is(e, EOPNOTSUPP) || Is(e, ENOTSUP) ||
           Is(e, ENOENT);
}

/* Opens name with flags, never becoming the terminal, never waiting on a
 * FIFO; keeps only a regular file (*fd -1 otherwise). */
FileError OpenRegular(const char *name, int flags, int *fd, struct stat *st);
/* Makes fd hold exactly the size bytes at p, durable on the disk. */
FileError Rewrite(int fd, const void *p, size_t size);
/* Reads up to cap bytes of fd from its start into buf; *got is their number. */
FileError ReadAll(int fd, void *buf, size_t cap, size_t *got);
/* Takes the lock of fd (how: LOCK_EX or LOCK_SH), waiting while another
 * program holds it; a file system without locks has none to take. */
FileError Lock(int fd, int how);
/* FILE_REPLACED when target no longer names the file st describes. */
FileError StillNamed(const char *target, const struct stat &st);

/* A file made beside the target: its descriptor, its name (null while it
 * has none) and its identity, so that only a name still its own is removed. */
struct SideFile {
    int fd;
    char *name;
    struct stat st;
};

/* The folder of target, open for O_TMPFILE and for its sync; -1 where it
 * cannot be opened (the save then names its files from the start). */
int OpenFolder(const char *target);
/* Makes a new file beside target: unnamed on the folder dir where the
 * system can, else (dir -1 too) named SideName(tag) by mkostemp. */
FileError MakeSide(const char *target, int dir, const char *tag, SideFile *f);
/* Links the unnamed file fd to name, which must not exist. */
FileError LinkUnnamed(int fd, const char *name);
/* Gives the unnamed file f a fresh name SideName(tag) beside target. */
FileError NameSide(SideFile *f, const char *target, const char *tag);
/* Closes f and frees its name; removes the file by that name when remove
 * and the name is still the file's own, never a name someone else took. */
void Discard(SideFile *f, bool remove);
/* Gives the new file fd (mine) the old file's owner, group, mode and
 * extended attributes (which carry the ACLs). */
FileError TakeOver(int fd, const struct stat &mine, int oldfd, const struct stat &old);
/* Whether the folder dir takes new names but gives up none (Linux's
 * append-only attribute): a rename there would strand the new file. */
bool AppendOnly(int dir);

#endif
