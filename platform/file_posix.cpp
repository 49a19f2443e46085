/* file_posix.cpp - the save and the load on POSIX systems. The new file of a
 * save is Linux's O_TMPFILE where there is one, nameless while it is written;
 * elsewhere mkostemp makes it. */
#include "file.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/xattr.h>
#endif

#define TRY_NAMED (-2000) /* an unnamed new file cannot be made or named here */

static int Err() { /* the errno of a failed call, never 0 */
    return errno != 0 ? errno : EIO;
}

/* A refusal that leaves the rewrite in place as the way (the folder takes no
 * new file, or a new file cannot get the old one's owner or attributes). */
static bool InPlaceAllowed(int e) {
    return e == EACCES || e == EPERM || e == EROFS || e == ENOTSUP || e == EOPNOTSUPP;
}
static bool NoHardLinks(int e) { /* what link() says on a file system without them */
    return e == EMLINK || e == EPERM || e == ENOSYS || e == ENOTSUP || e == EOPNOTSUPP;
}

/* Opens name with flags, never becoming the terminal, never waiting on a
 * FIFO; keeps only a regular file, then blocking. 0 or the reason. */
static int OpenRegular(const char *name, int flags, int *fd, struct stat *st) {
    *fd = open(name, flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (*fd < 0) return errno == ENXIO ? FILE_ERR_NOT_REGULAR : Err();
    int e = fstat(*fd, st) != 0 ? Err() : 0;
    if (e == 0 && !S_ISREG(st->st_mode)) e = S_ISDIR(st->st_mode) ? EISDIR : FILE_ERR_NOT_REGULAR;
    int fl = e == 0 ? fcntl(*fd, F_GETFL) : 0;
    if (e == 0 && (fl < 0 || fcntl(*fd, F_SETFL, fl & ~O_NONBLOCK) != 0)) e = Err();
    if (e != 0) close(*fd);
    if (e != 0) *fd = -1;
    return e;
}

/* Makes fd hold exactly the size bytes at p, durable on the disk. */
static int Rewrite(int fd, const void *p, size_t size) {
    for (size_t at = 0; at < size;) {
        ssize_t n = pwrite(fd, (const char *)p + at, size - at, (off_t)at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? Err() : EIO;
        at += (size_t)n;
    }
    return ftruncate(fd, (off_t)size) != 0 || fsync(fd) != 0 ? Err() : 0;
}

/* Reads up to cap bytes of fd from its start into buf; *got is their number. */
static int ReadAll(int fd, void *buf, size_t cap, size_t *got) {
    for (*got = 0; *got < cap;) {
        ssize_t n = pread(fd, (char *)buf + *got, cap - *got, (off_t)*got);
        if (n < 0 && errno != EINTR) return Err();
        if (n == 0) break;
        *got += n > 0 ? (size_t)n : 0;
    }
    return 0;
}

/* Copies the extended attributes (which carry the ACLs) of from to to, the
 * "security." ones excepted: the system sets those of a new file. */
static int CopyXattrs(int from, int to) {
#ifdef __linux__
    ssize_t n = flistxattr(from, nullptr, 0);
    if (n <= 0) return n == 0 || errno == ENOTSUP ? 0 : Err(); /* none here */
    /* One block: the names, then room for a value of 64 KiB, Linux's most. */
    char *names = (char *)malloc((size_t)n + 65536);
    if (!names) return ENOMEM;
    char *value = names + n;
    n = flistxattr(from, names, (size_t)n);
    int e = n < 0 ? Err() : 0; /* ERANGE: one came meanwhile */
    for (ssize_t i = 0, size; e == 0 && i < n; i += (ssize_t)strlen(names + i) + 1)
        if (strncmp(names + i, "security.", 9) != 0 &&
            ((size = fgetxattr(from, names + i, value, 65536)) < 0 ||
             fsetxattr(to, names + i, value, (size_t)size, 0) != 0))
            e = Err();
    free(names);
    return e;
#else
    (void)from, (void)to;
    return 0;
#endif
}

/* The length of target's folder part, its last '/' included. */
static size_t FolderLength(const char *target) {
    const char *slash = strrchr(target, '/');
    return slash ? (size_t)(slash - target) + 1 : 0;
}

/* A new file beside target: unnamed on the open folder dir (*name null;
 * TRY_NAMED where the system cannot), or, without dir, made by mkostemp as
 * SideName(tag). */
static int MakeSide(const char *target, const char *tag, int dir, int *fd, char **name) {
#ifdef O_TMPFILE
    if (dir >= 0 && (*fd = openat(dir, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666)) >= 0) return 0;
    int e = dir >= 0 ? Err() : 0;
    if (e != 0) return e == EOPNOTSUPP || e == EISDIR || e == EINVAL ? TRY_NAMED : e;
#endif
    if (dir >= 0) return TRY_NAMED;
    if (!(*name = SideName(target, FolderLength(target), tag))) return ENOMEM;
    if ((*fd = mkostemp(*name, O_CLOEXEC)) >= 0) return 0;
    int m = Err();
    free(*name);
    *name = nullptr;
    return m;
}

/* Gives the unnamed new file fd a fresh name beside target in *name;
 * TRY_NAMED where it cannot be named so (no /proc, no hard links). */
static int NameUnnamed(int fd, const char *target, char **name) {
    char proc[64];
    unsigned char noise[6] = {};
    snprintf(proc, sizeof proc, "/proc/self/fd/%d", fd);
    if (!(*name = SideName(target, FolderLength(target), SIDE_NEW))) return ENOMEM;
    int e = getentropy(noise, sizeof noise) != 0 ? Err() : 0;
    for (size_t i = 0, n = strlen(*name); i < 6; i++)
        (*name)[n - 6 + i] = "abcdefghijklmnopqrstuvwxyz0123456789"[noise[i] % 36];
    if (e == 0 && linkat(AT_FDCWD, proc, AT_FDCWD, *name, AT_SYMLINK_FOLLOW) != 0) e = Err();
    if (e == 0) return 0;
    free(*name);
    *name = nullptr;
    return e == EEXIST || e == ENOENT || NoHardLinks(e) ? TRY_NAMED : e;
}

/* Closes fd (when open) and removes name when it still names the file mine,
 * never a name someone else has taken over; frees name. */
static void Discard(int fd, char *name, const struct stat &mine) {
    struct stat st;
    if (name && lstat(name, &st) == 0 && st.st_dev == mine.st_dev && st.st_ino == mine.st_ino)
        unlink(name);
    free(name);
    if (fd >= 0) close(fd);
}

/* Writes the bytes to a new file, unnamed on the open folder dir (-1: a
 * named one), and puts it in target's place: over the old file oldfd (old)
 * when there is one, else under the absent name. *made:
 * the new file was made and has the old one's owner, mode and attributes.
 * 0, TRY_NAMED or the reason; the new file is gone again on a failure. */
static int SaveNew(const char *target, int oldfd, const struct stat &old, const void *bytes,
                   size_t size, int dir, bool *made) {
    int fd = -1;
    char *name = nullptr;
    struct stat mine = {}, now;
    int e = MakeSide(target, SIDE_NEW, dir, &fd, &name);
    if (e != 0) return e;
    if (fstat(fd, &mine) != 0) e = Err();
    /* mkostemp's 0600: a new file's mode instead, but never one that shuts
     * the owner out (Emscripten's umask says 0777 and applies none). */
    if (e == 0 && oldfd < 0 && name) {
        mode_t mask = umask(0);
        umask(mask);
        if (fchmod(fd, (0666 & ~mask) | 0600) != 0) e = Err();
    }
    if (e == 0 && oldfd >= 0 && (mine.st_uid != old.st_uid || mine.st_gid != old.st_gid) &&
        fchown(fd, old.st_uid, old.st_gid) != 0)
        e = Err();
    if (e == 0 && oldfd >= 0 && fchmod(fd, old.st_mode & 07777) != 0) e = Err();
    if (e == 0 && oldfd >= 0) e = CopyXattrs(oldfd, fd);
    if ((*made = e == 0)) e = Rewrite(fd, bytes, size);
    if (e == 0 && !name) e = NameUnnamed(fd, target, &name);
    if (e == 0) {
        e = close(fd) != 0 ? Err() : 0;
        fd = -1;
    }
    if (e == 0 && oldfd >= 0)
        e = stat(target, &now) != 0                                ? Err()
            : now.st_dev != old.st_dev || now.st_ino != old.st_ino ? FILE_ERR_CHANGED
            : rename(name, target) != 0                            ? Err()
                                                                   : 0;
    /* A new name: a link, which never replaces a file made since the save
     * looked; a rename where the file system has no hard links. */
    if (e == 0 && oldfd < 0 && linkat(AT_FDCWD, name, AT_FDCWD, target, 0) != 0)
        e = NoHardLinks(errno) ? rename(name, target) != 0 ? Err() : 0 : Err();
    Discard(fd, name, mine);
    return e;
}

/* Takes the lock of fd, waiting while another saver holds it; a file system
 * without locks has none to take. */
static int Lock(int fd) {
    while (flock(fd, LOCK_EX) != 0)
        if (errno != EINTR)
            return errno == ENOSYS || errno == EOPNOTSUPP || errno == ENOLCK ? 0 : Err();
    return 0;
}

/* Rewrites the old file fd in place under its lock, so that two savers take
 * turns: a synced copy of the old bytes goes beside it first where the
 * folder allows one, the old bytes are put back from memory on a failure,
 * and the copy goes once target holds the old or the new bytes whole.
 * Closes fd. */
static int SaveInPlace(int fd, const char *target, const void *bytes, size_t size) {
    struct stat st, cst = {};
    char *old = nullptr, *copy = nullptr;
    int cfd = -1;
    size_t n = 0;
    int e = Lock(fd);
    if (e == 0 && fstat(fd, &st) != 0) e = Err();
    if (e == 0 && st.st_size > FILE_KEEP_LIMIT) e = EFBIG;
    if (e == 0 && !(old = (char *)malloc((size_t)st.st_size + 1))) e = ENOMEM;
    if (e == 0 && (e = ReadAll(fd, old, (size_t)st.st_size + 1, &n)) == EBADF)
        e = EACCES; /* a file the program may write but not read */
    if (e == 0) {
        int c = MakeSide(target, SIDE_COPY, -1, &cfd, &copy);
        if (c == 0) c = fstat(cfd, &cst) != 0 ? Err() : Rewrite(cfd, old, n);
        if (cfd >= 0 && close(cfd) != 0 && c == 0) c = Err();
        cfd = -1;
        if (c != 0 && (copy || !InPlaceAllowed(c))) e = c; /* no copy where refused */
    }
    bool restored = true;
    if (e == 0 && (e = Rewrite(fd, bytes, size)) != 0) restored = Rewrite(fd, old, n) == 0;
    /* The close may report a failed write-back: the copy keeps the old bytes. */
    if (close(fd) != 0 && e == 0) {
        e = Err();
        restored = false;
    }
    if (restored)
        Discard(cfd, copy, cst);
    else
        free(copy);
    free(old);
    return e;
}

FileResult SaveBytes(const char *name, const void *bytes, size_t size, int *err) {
    signal(SIGXFSZ, SIG_IGN); /* a file-size limit fails a write, not the program */
    int fd = -1;
    struct stat st = {}, lst;
    int e = OpenRegular(name, O_RDWR, &fd, &st);
    if (e == EACCES) e = OpenRegular(name, O_WRONLY, &fd, &st);
    /* A name that leads nowhere (a dangling link) is the user's: kept. */
    bool absent = e == ENOENT && lstat(name, &lst) != 0 && errno == ENOENT;
    if (e != 0 && !absent) {
        *err = e;
        return FILE_OPEN_FAILED;
    }
    /* A symbolic link stays: the file it leads to gets the bytes. */
    char *target = absent ? nullptr : realpath(name, nullptr);
    e = absent || target ? 0 : Err();
    const char *to = target ? target : name;
    /* A new file renamed over one with other names would split them. */
    bool made = false, in_place = e == 0 && st.st_nlink > 1;
    if (e == 0 && !in_place) {
        size_t folder = FolderLength(to);
        char *path = folder ? strndup(to, folder) : strdup(".");
        int dir = path ? open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
        free(path);
        e = SaveNew(to, fd, st, bytes, size, dir, &made);
        if (e == TRY_NAMED) e = SaveNew(to, fd, st, bytes, size, -1, &made);
        in_place = !absent && !made && InPlaceAllowed(e);
        if (e == 0 && dir >= 0) fsync(dir); /* best effort: the save has succeeded */
        if (dir >= 0) close(dir);
    }
    if (in_place)
        e = SaveInPlace(fd, to, bytes, size);
    else if (fd >= 0)
        close(fd); /* nothing was written through it */
    free(target);
    *err = e;
    return e == 0 ? FILE_DONE : absent && !made ? FILE_OPEN_FAILED : FILE_IO_FAILED;
}

FileResult LoadBytes(const char *name, void *buf, size_t cap, size_t *got, int *err) {
    int fd;
    struct stat st;
    if ((*err = OpenRegular(name, O_RDONLY, &fd, &st)) != 0) return FILE_OPEN_FAILED;
    *err = ReadAll(fd, buf, cap, got);
    close(fd); /* nothing was written through it */
    return *err == 0 ? FILE_DONE : FILE_IO_FAILED;
}
