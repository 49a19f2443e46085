/* file_posix_steps.cpp - the steps of the POSIX save and load: opening a
 * regular file, writing and reading it whole, its lock, and the files made
 * beside it. See file_posix.h. */
#include "file_posix.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/xattr.h>
#endif

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

FileError OpenRegular(const char *name, int flags, int *fd, struct stat *st) {
    *fd = open(name, flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (*fd == -1) /* ENXIO, ENODEV: a FIFO without a reader, a device without a driver */
        return errno == ENXIO || errno == ENODEV ? Why(FILE_NOT_REGULAR) : Sys(errno);
    FileError e = CheckRegular(*fd, st);
    if (!Failed(e)) return e;
    close(*fd);
    *fd = -1;
    return e;
}

FileError Rewrite(int fd, const void *p, size_t size) {
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

FileError ReadAll(int fd, void *buf, size_t cap, size_t *got) {
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

FileError Lock(int fd, int how) {
    for (;;) {
        FileError e = Call(flock(fd, how));
        if (!Is(e, EINTR)) return Is(e, ENOSYS) || Is(e, EOPNOTSUPP) || Is(e, ENOLCK) ? kOk : e;
    }
}

FileError StillNamed(const char *target, const struct stat &st) {
    struct stat now;
    FileError e = Call(stat(target, &now));
    if (Is(e, ENOENT)) return Why(FILE_REPLACED);
    if (Failed(e)) return e;
    bool same = now.st_dev == st.st_dev && now.st_ino == st.st_ino;
    return same ? kOk : Why(FILE_REPLACED);
}

/* ---- Files beside the target ----------------------------------------------- */

/* The length of target's folder part, its last '/' included. */
static size_t FolderLength(const char *target) {
    const char *slash = strrchr(target, '/');
    return slash ? (size_t)(slash - target) + 1 : 0;
}

int OpenFolder(const char *target) {
    size_t folder = FolderLength(target);
    char *path = folder ? strndup(target, folder) : strdup(".");
    if (!path) return -1;
    int dir = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    free(path);
    return dir;
}

/* A new file beside target made by mkostemp as SideName(tag). */
static FileError MakeNamed(const char *target, const char *tag, SideFile *f) {
    f->name = SideName(target, FolderLength(target), tag);
    if (!f->name) return Sys(ENOMEM);
    f->fd = mkostemp(f->name, O_CLOEXEC);
    if (f->fd != -1) return Call(fstat(f->fd, &f->st));
    FileError e = Sys(errno);
    free(f->name);
    f->name = nullptr;
    return e;
}

FileError MakeSide(const char *target, int dir, const char *tag, SideFile *f) {
    *f = SideFile{-1, nullptr, {}};
#ifdef O_TMPFILE
    if (dir != -1) {
        f->fd = openat(dir, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (f->fd != -1) return Call(fstat(f->fd, &f->st));
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return Sys(errno);
    }
#endif
    return MakeNamed(target, tag, f);
}

FileError LinkUnnamed(int fd, const char *name) {
    char proc[64];
    snprintf(proc, sizeof proc, "/proc/self/fd/%d", fd);
    return Call(linkat(AT_FDCWD, proc, AT_FDCWD, name, AT_SYMLINK_FOLLOW));
}

FileError NameSide(SideFile *f, const char *target, const char *tag) {
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

void Discard(SideFile *f, bool remove) {
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

FileError TakeOver(int fd, const struct stat &mine, int oldfd, const struct stat &old) {
    FileError e = kOk;
    if (mine.st_uid != old.st_uid || mine.st_gid != old.st_gid)
        e = Call(fchown(fd, old.st_uid, old.st_gid));
    if (Failed(e)) return e;
    e = Call(fchmod(fd, old.st_mode & 07777));
    if (Failed(e)) return e;
    return CopyXattrs(oldfd, fd);
}

bool AppendOnly(int dir) {
#if defined(__linux__) && defined(FS_IOC_GETFLAGS)
    int flags = 0;
    int r = dir == -1 ? -1 : ioctl(dir, FS_IOC_GETFLAGS, &flags);
    return r == 0 && (flags & FS_APPEND_FL);
#else
    (void)dir;
    return false;
#endif
}
