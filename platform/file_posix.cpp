/* file_posix.cpp - the save and the load on POSIX systems. A save writes
 * the bytes to a new file and renames it over the old one; where the folder
 * refuses that, or a rename would split hard links, it rewrites the old file
 * in place under its lock, which a load takes too. On Linux a new file is
 * O_TMPFILE, nameless until it is complete; elsewhere mkostemp makes it
 * under its side name. */
#include "file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/xattr.h>
#endif

static const FileError kOk = {FILE_OK, 0};

static FileError Sys(int e) {
    return {FILE_SYSTEM, e != 0 ? e : EIO};
}
static FileError Why(FileReason reason) {
    return {reason, 0};
}
/* The outcome of a system call that returned r, -1 on a failure. */
static FileError Call(long r) {
    return r != -1 ? kOk : Sys(errno);
}
static bool Failed(FileError e) {
    return e.reason != FILE_OK;
}
static bool Is(FileError e, int sys) {
    return e.reason == FILE_SYSTEM && e.sys == sys;
}

/* A refusal that leaves the rewrite in place as the way: the folder takes no
 * new file or gives up no name, or a new file cannot get the old one's owner
 * or attributes. */
static bool Refused(FileError e) {
    return Is(e, EACCES) || Is(e, EPERM) || Is(e, EROFS) || Is(e, EOPNOTSUPP) || Is(e, ENOTSUP);
}
/* What linkat says where a name cannot be linked: no hard links, no /proc. */
static bool CannotLink(FileError e) {
    return Is(e, EMLINK) || Is(e, EPERM) || Is(e, ENOSYS) || Is(e, EOPNOTSUPP) || Is(e, ENOTSUP) ||
           Is(e, ENOENT);
}

/* ---- Opening, reading, writing, locking ------------------------------------ */

/* Keeps the open fd only when it is a regular file, and makes it blocking. */
static FileError CheckRegular(int fd, struct stat *st) {
    FileError e = Call(fstat(fd, st));
    if (Failed(e)) return e;
    if (S_ISDIR(st->st_mode)) return Sys(EISDIR);
    if (!S_ISREG(st->st_mode)) return Why(FILE_NOT_REGULAR);
    int flags = fcntl(fd, F_GETFL);
    if (flags == -1) return Sys(errno);
    return Call(fcntl(fd, F_SETFL, flags & ~O_NONBLOCK));
}

/* Opens name with flags, never becoming the terminal, never waiting on a
 * FIFO; keeps only a regular file (*fd -1 otherwise). */
static FileError OpenRegular(const char *name, int flags, int *fd, struct stat *st) {
    *fd = open(name, flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (*fd == -1) /* ENXIO, ENODEV: a FIFO without a reader, a device without a driver */
        return errno == ENXIO || errno == ENODEV ? Why(FILE_NOT_REGULAR) : Sys(errno);
    FileError e = CheckRegular(*fd, st);
    if (!Failed(e)) return e;
    close(*fd);
    *fd = -1;
    return e;
}

/* Makes fd hold exactly the size bytes at p, durable on the disk. */
static FileError Rewrite(int fd, const void *p, size_t size) {
    for (size_t at = 0; at < size;) {
        ssize_t n = pwrite(fd, (const char *)p + at, size - at, (off_t)at);
        if (n == -1 && errno == EINTR) continue;
        if (n == -1) return Sys(errno);
        if (n == 0) return Sys(EIO);
        at += (size_t)n;
    }
    FileError e = Call(ftruncate(fd, (off_t)size));
    if (Failed(e)) return e;
    return Call(fsync(fd));
}

/* Reads up to cap bytes of fd from its start into buf; *got is their number. */
static FileError ReadAll(int fd, void *buf, size_t cap, size_t *got) {
    *got = 0;
    while (*got < cap) {
        ssize_t n = pread(fd, (char *)buf + *got, cap - *got, (off_t)*got);
        if (n == -1 && errno == EINTR) continue;
        if (n == -1) return Sys(errno);
        if (n == 0) break;
        *got += (size_t)n;
    }
    return kOk;
}

/* Takes the lock of fd (how: LOCK_EX or LOCK_SH), waiting while another
 * program holds it; a file system without locks has none to take. */
static FileError Lock(int fd, int how) {
    for (;;) {
        FileError e = Call(flock(fd, how));
        if (!Is(e, EINTR)) return Is(e, ENOSYS) || Is(e, EOPNOTSUPP) || Is(e, ENOLCK) ? kOk : e;
    }
}

/* FILE_REPLACED when target no longer names the file st describes. */
static FileError StillNamed(const char *target, const struct stat &st) {
    struct stat now;
    FileError e = Call(stat(target, &now));
    if (Is(e, ENOENT)) return Why(FILE_REPLACED);
    if (Failed(e)) return e;
    bool same = now.st_dev == st.st_dev && now.st_ino == st.st_ino;
    return same ? kOk : Why(FILE_REPLACED);
}

/* ---- Files beside the target ----------------------------------------------- */

/* A file made beside the target: its descriptor, its name (null while it
 * has none) and its identity, so that only a name still its own is removed. */
struct SideFile {
    int fd;
    char *name;
    struct stat st;
};

/* The length of target's folder part, its last '/' included. */
static size_t FolderLength(const char *target) {
    const char *slash = strrchr(target, '/');
    return slash ? (size_t)(slash - target) + 1 : 0;
}

/* The folder of target, open for O_TMPFILE and for its sync; -1 where it
 * cannot be opened (the save then names its files from the start). */
static int OpenFolder(const char *target) {
    size_t folder = FolderLength(target);
    char *path = folder ? strndup(target, folder) : strdup(".");
    if (!path) return -1;
    int dir = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    free(path);
    return dir;
}

/* Makes a new file beside target: unnamed on the folder dir where the
 * system can, else (dir -1 too) named SideName(tag) by mkostemp. */
static FileError MakeSide(const char *target, int dir, const char *tag, SideFile *f) {
    *f = SideFile{-1, nullptr, {}};
#ifdef O_TMPFILE
    if (dir != -1) f->fd = openat(dir, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    FileError e = dir != -1 ? Call(f->fd) : kOk;
    if (Failed(e) && !Is(e, EOPNOTSUPP) && !Is(e, EISDIR) && !Is(e, EINVAL)) return e;
#endif
    if (f->fd == -1) {
        f->name = SideName(target, FolderLength(target), tag);
        if (!f->name) return Sys(ENOMEM);
        f->fd = mkostemp(f->name, O_CLOEXEC);
    }
    if (f->fd == -1) {
        free(f->name);
        f->name = nullptr;
        return Sys(errno);
    }
    return Call(fstat(f->fd, &f->st));
}

/* Links the unnamed file fd to name, which must not exist. */
static FileError LinkUnnamed(int fd, const char *name) {
    char proc[64];
    snprintf(proc, sizeof proc, "/proc/self/fd/%d", fd);
    return Call(linkat(AT_FDCWD, proc, AT_FDCWD, name, AT_SYMLINK_FOLLOW));
}

/* Gives the unnamed file f a fresh name SideName(tag) beside target,
 * trying other letters while a name is taken. */
static FileError NameSide(SideFile *f, const char *target, const char *tag) {
    if (f->name) return kOk;
    char *name = SideName(target, FolderLength(target), tag);
    if (!name) return Sys(ENOMEM);
    FileError e = Sys(EEXIST);
    for (int attempt = 0; attempt < 10 && Is(e, EEXIST); attempt++) {
        unsigned char noise[6];
        e = Call(getentropy(noise, sizeof noise));
        if (Failed(e)) break;
        FillNoise(name, noise);
        e = LinkUnnamed(f->fd, name);
    }
    if (Failed(e))
        free(name);
    else
        f->name = name;
    return e;
}

/* Closes f and frees its name; removes the file by that name when remove
 * and the name is still the file's own, never a name someone else took. */
static void Discard(SideFile *f, bool remove) {
    struct stat st = {};
    FileError e = f->name && remove ? Call(lstat(f->name, &st)) : Sys(ENOENT);
    bool mine = !Failed(e) && st.st_dev == f->st.st_dev && st.st_ino == f->st.st_ino;
    if (mine) unlink(f->name);
    free(f->name);
    if (f->fd != -1) close(f->fd);
}

/* ---- The new file's owner, mode and attributes ------------------------------ */

#ifdef __linux__
/* Copies the extended attributes listed in names (n bytes; room for a value
 * of 64 KiB, Linux's most, after them) of from to to, the "security." ones
 * excepted: the system sets those of a new file. */
static FileError CopyEachXattr(int from, int to, char *names, ssize_t n) {
    char *value = names + n;
    n = flistxattr(from, names, (size_t)n);
    if (n == -1) return Sys(errno); /* ERANGE: one came meanwhile */
    for (ssize_t i = 0; i < n; i += (ssize_t)strlen(names + i) + 1) {
        if (strncmp(names + i, "security.", 9) == 0) continue;
        ssize_t size = fgetxattr(from, names + i, value, 65536);
        if (size == -1) return Sys(errno);
        FileError e = Call(fsetxattr(to, names + i, value, (size_t)size, 0));
        if (Failed(e)) return e;
    }
    return kOk;
}
#endif

/* Copies the extended attributes (which carry the ACLs) of from to to. */
static FileError CopyXattrs(int from, int to) {
#ifdef __linux__
    ssize_t n = flistxattr(from, nullptr, 0);
    if (n == -1 && errno == ENOTSUP) return kOk; /* none here */
    if (n == -1) return Sys(errno);
    if (n == 0) return kOk;
    char *names = (char *)malloc((size_t)n + 65536);
    if (!names) return Sys(ENOMEM);
    FileError e = CopyEachXattr(from, to, names, n);
    free(names);
    return e;
#else
    (void)from, (void)to;
    return kOk;
#endif
}

/* Gives the new file fd (mine) the old file's owner, group, mode and
 * extended attributes. */
static FileError TakeOver(int fd, const struct stat &mine, int oldfd, const struct stat &old) {
    FileError e = kOk;
    if (mine.st_uid != old.st_uid || mine.st_gid != old.st_gid)
        e = Call(fchown(fd, old.st_uid, old.st_gid));
    if (Failed(e)) return e;
    e = Call(fchmod(fd, old.st_mode & 07777));
    if (Failed(e)) return e;
    return CopyXattrs(oldfd, fd);
}

/* ---- The three ways of a save ---------------------------------------------- */

/* Writes the bytes to the new file f and renames it over the old file
 * oldfd (old), under the old file's lock and only while target still
 * names it. The new file gets its name just before the rename. */
static FileError ReplaceWith(SideFile *f, const char *target, int oldfd, const struct stat &old,
                             const void *bytes, size_t size) {
    FileError e = TakeOver(f->fd, f->st, oldfd, old);
    if (Failed(e)) return e;
    e = Rewrite(f->fd, bytes, size);
    if (Failed(e)) return e;
    e = Lock(oldfd, LOCK_EX);
    if (Failed(e)) return e;
    e = StillNamed(target, old);
    if (Failed(e)) return e;
    e = NameSide(f, target, SIDE_NEW);
    if (Failed(e)) return e;
    return Call(rename(f->name, target));
}

/* Saves over the old file by a new file on the folder dir (-1: a named
 * one). *link_failed: an unnamed new file could not be named here. */
static FileError Replace(const char *target, int dir, int oldfd, const struct stat &old,
                         const void *bytes, size_t size, bool *link_failed) {
    SideFile f;
    FileError e = MakeSide(target, dir, SIDE_NEW, &f);
    if (!Failed(e)) e = ReplaceWith(&f, target, oldfd, old, bytes, size);
    *link_failed = !f.name && CannotLink(e);
    Discard(&f, true);
    return e;
}

/* Writes the bytes to the new file f and gives it the absent name target:
 * a link, which never replaces a file made meanwhile (File exists), or a
 * rename on a file system without hard links. */
static FileError CreateWith(SideFile *f, const char *target, const void *bytes, size_t size) {
    if (f->name) { /* mkostemp's 0600: a new file's mode instead, never shutting out the owner */
        mode_t mask = umask(0);
        umask(mask);
        FileError e = Call(fchmod(f->fd, (0666 & ~mask) | 0600));
        if (Failed(e)) return e;
    }
    FileError e = Rewrite(f->fd, bytes, size);
    if (Failed(e)) return e;
    if (!f->name) return LinkUnnamed(f->fd, target);
    e = Call(linkat(AT_FDCWD, f->name, AT_FDCWD, target, 0));
    if (!CannotLink(e)) return e;
    return Call(rename(f->name, target));
}

/* Makes the absent file target with the bytes in one step, by a new file on
 * the folder dir (-1: a named one). *made: the new file was made;
 * *link_failed: an unnamed new file could not be named here. */
static FileError Create(const char *target, int dir, const void *bytes, size_t size, bool *made,
                        bool *link_failed) {
    SideFile f;
    FileError e = MakeSide(target, dir, SIDE_NEW, &f);
    *made = !Failed(e);
    if (*made) e = CreateWith(&f, target, bytes, size);
    *link_failed = !f.name && CannotLink(e);
    Discard(&f, true);
    return e;
}

/* A complete, durable copy of the n old bytes beside target, named once
 * complete where the folder dir takes an unnamed file, so that a kill
 * leaves it whole or not at all. A folder that refuses new files gets no
 * copy (copy->fd -1), which is no failure. */
static FileError MakeCopy(const char *target, int dir, const char *old, size_t n, SideFile *copy) {
    FileError e = MakeSide(target, dir, SIDE_COPY, copy);
    if (Failed(e)) return Refused(e) ? kOk : e;
    e = Rewrite(copy->fd, old, n);
    if (Failed(e)) return e;
    return NameSide(copy, target, SIDE_COPY);
}

/* Rewrites fd with the bytes, putting the n old bytes back on a failure;
 * *restored false when even that fails. A second descriptor reports, on
 * its close, a failed write-back of the system's cache while fd can still
 * put the old bytes back. */
static FileError RewriteOver(int fd, const char *old, size_t n, const void *bytes, size_t size,
                             bool *restored) {
    *restored = true;
    int spare = dup(fd);
    if (spare == -1) return Sys(errno);
    FileError e = Rewrite(fd, bytes, size);
    FileError closed = Call(close(spare));
    if (!Failed(e)) e = closed;
    if (Failed(e)) *restored = !Failed(Rewrite(fd, old, n));
    return e;
}

/* With the n old bytes in memory: a copy of them beside target first, then
 * the rewrite; the copy goes once the file holds the old or the new bytes
 * whole, and stays when the old bytes could not be put back. */
static FileError RewriteKeeping(int fd, const char *target, int dir, const char *old, size_t n,
                                const void *bytes, size_t size) {
    SideFile copy;
    bool restored = true;
    FileError e = MakeCopy(target, dir, old, n, &copy);
    if (CannotLink(e) && copy.fd != -1 && !copy.name) { /* cannot name it: a named copy */
        Discard(&copy, true);
        e = MakeCopy(target, -1, old, n, &copy);
    }
    if (!Failed(e)) e = RewriteOver(fd, old, n, bytes, size, &restored);
    Discard(&copy, restored);
    return e;
}

/* Rewrites the old file fd (st) in place, under its lock, so that two
 * savers take turns and a load waits: only while target still names it,
 * and only for a file short enough to keep its bytes in memory. */
static FileError RewriteInPlace(int fd, const struct stat &st, const char *target, int dir,
                                const void *bytes, size_t size) {
    FileError e = Lock(fd, LOCK_EX);
    if (Failed(e)) return e;
    e = StillNamed(target, st);
    if (Failed(e)) return e;
    struct stat now;
    e = Call(fstat(fd, &now));
    if (Failed(e)) return e;
    if (now.st_size > FILE_KEEP_LIMIT) return Why(FILE_TOO_LARGE);
    char *old = (char *)malloc((size_t)now.st_size + 1);
    if (!old) return Sys(ENOMEM);
    size_t n = 0;
    e = ReadAll(fd, old, (size_t)now.st_size + 1, &n);
    if (Is(e, EBADF)) e = Sys(EACCES); /* a file the program may write but not read */
    if (!Failed(e)) e = RewriteKeeping(fd, target, dir, old, n, bytes, size);
    free(old);
    return e;
}

/* Whether the folder dir takes new names but gives up none (Linux's
 * append-only attribute): a rename there would strand the new file. */
static bool AppendOnly(int dir) {
#if defined(__linux__) && defined(FS_IOC_GETFLAGS)
    int flags = 0;
    int r = dir == -1 ? -1 : ioctl(dir, FS_IOC_GETFLAGS, &flags);
    return r == 0 && (flags & FS_APPEND_FL);
#else
    (void)dir;
    return false;
#endif
}

/* Saves over the old file fd (st) that name leads to (a symbolic link stays;
 * the file it leads to gets the bytes). */
static FileError SaveOver(const char *name, int fd, const struct stat &st, const void *bytes,
                          size_t size) {
    char *target = realpath(name, nullptr);
    if (!target) return Sys(errno);
    int dir = OpenFolder(target);
    FileError e = kOk;
    bool in_place = st.st_nlink > 1 || AppendOnly(dir); /* a rename would split the names */
    if (!in_place) {
        bool link_failed;
        e = Replace(target, dir, fd, st, bytes, size, &link_failed);
        if (link_failed) e = Replace(target, -1, fd, st, bytes, size, &link_failed);
        in_place = Refused(e);
        if (!Failed(e) && dir != -1) fsync(dir); /* best effort: the save has succeeded */
    }
    if (in_place) e = RewriteInPlace(fd, st, target, dir, bytes, size);
    if (dir != -1) close(dir);
    free(target);
    return e;
}

/* Saves the bytes as the absent file name. */
static FileResult SaveAbsent(const char *name, const void *bytes, size_t size, FileError *err) {
    int dir = OpenFolder(name);
    bool made, link_failed;
    *err = Create(name, dir, bytes, size, &made, &link_failed);
    if (link_failed) *err = Create(name, -1, bytes, size, &made, &link_failed);
    if (!Failed(*err) && dir != -1) fsync(dir); /* best effort: the save has succeeded */
    if (dir != -1) close(dir);
    if (!Failed(*err)) return FILE_DONE;
    return made ? FILE_IO_FAILED : FILE_OPEN_FAILED;
}

/* Whether nothing has the name, not even a symbolic link to nowhere. */
static bool Absent(const char *name) {
    struct stat st;
    FileError e = Call(lstat(name, &st));
    return Is(e, ENOENT);
}

FileResult SaveBytes(const char *name, const void *bytes, size_t size, FileError *err) {
    int fd;
    struct stat st;
    *err = OpenRegular(name, O_RDWR, &fd, &st);
    if (Is(*err, EACCES)) *err = OpenRegular(name, O_WRONLY, &fd, &st);
    if (Is(*err, ENOENT) && Absent(name)) return SaveAbsent(name, bytes, size, err);
    if (Failed(*err)) return FILE_OPEN_FAILED;
    *err = SaveOver(name, fd, st, bytes, size);
    close(fd); /* a rewrite in place checked a close of its own */
    return Failed(*err) ? FILE_IO_FAILED : FILE_DONE;
}

FileResult LoadBytes(const char *name, void *buf, size_t cap, size_t *got, FileError *err) {
    int fd;
    struct stat st;
    *got = 0;
    *err = OpenRegular(name, O_RDONLY, &fd, &st);
    if (Failed(*err)) return FILE_OPEN_FAILED;
    *err = Lock(fd, LOCK_SH); /* waits while a save rewrites the file in place */
    if (!Failed(*err)) *err = ReadAll(fd, buf, cap, got);
    close(fd); /* nothing was written through it */
    return Failed(*err) ? FILE_IO_FAILED : FILE_DONE;
}
