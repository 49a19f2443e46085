/* file_posix.cpp - the save and the load on POSIX systems.
 *
 * The new file of a save is Linux's O_TMPFILE where there is one: it has no
 * name while it is written and gets one just before the rename. Elsewhere it
 * is made by mkostemp. */
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

/* Internal results: an unnamed new file cannot be made or named here. */
#define TRY_NAMED (-2000)

/* The errno of a failed call, never 0. */
static int Err() {
    return errno != 0 ? errno : EIO;
}

/* True when a file system's refusal leaves the rewrite in place as the way:
 * it refuses new files (a read-only folder), or a new file cannot get the
 * old one's owner or attributes. */
static bool InPlaceAllowed(int e) {
    return e == EACCES || e == EPERM || e == EROFS || e == ENOTSUP || e == EOPNOTSUPP;
}

/* True when a link() says that this file system has no hard links. */
static bool NoHardLinks(int e) {
    return e == EMLINK || e == EPERM || e == ENOSYS || e == ENOTSUP || e == EOPNOTSUPP;
}

/* Opens name with flags, never becoming the program's terminal, never
 * waiting on a FIFO; keeps it only when it is a regular file, made blocking.
 * Returns 0 with *fd and *st set, or the reason. */
static int OpenRegular(const char *name, int flags, int *fd, struct stat *st) {
    *fd = open(name, flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (*fd < 0) return errno == ENXIO ? FILE_ERR_NOT_REGULAR : Err();
    int e = fstat(*fd, st) != 0 ? Err() : 0;
    if (e == 0 && !S_ISREG(st->st_mode)) e = S_ISDIR(st->st_mode) ? EISDIR : FILE_ERR_NOT_REGULAR;
    int fl = e == 0 ? fcntl(*fd, F_GETFL) : 0;
    if (e == 0 && (fl < 0 || fcntl(*fd, F_SETFL, fl & ~O_NONBLOCK) != 0)) e = Err();
    if (e != 0) close(*fd);
    return e;
}

/* Writes the size bytes at p to fd from offset 0 on. */
static int WriteAll(int fd, const void *p, size_t size) {
    for (size_t done = 0; done < size;) {
        ssize_t n = pwrite(fd, (const char *)p + done, size - done, (off_t)done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? Err() : EIO;
        done += (size_t)n;
    }
    return 0;
}

/* Makes fd hold exactly the size bytes at p, durable on the disk. */
static int Rewrite(int fd, const void *p, size_t size) {
    int e = WriteAll(fd, p, size);
    if (e == 0 && ftruncate(fd, (off_t)size) != 0) e = Err();
    if (e == 0 && fsync(fd) != 0) e = Err();
    return e;
}

/* Copies the extended attributes of from to to (the "security." ones
 * excepted: the system sets those of a new file itself). */
static int CopyXattrs(int from, int to) {
#ifdef __linux__
    ssize_t n = flistxattr(from, nullptr, 0);
    if (n <= 0) return n == 0 || errno == ENOTSUP ? 0 : Err(); /* none here */
    char *names = (char *)malloc((size_t)n);
    if (!names) return ENOMEM;
    n = flistxattr(from, names, (size_t)n);
    int e = n < 0 ? Err() : 0; /* ERANGE: one came meanwhile */
    for (ssize_t i = 0; e == 0 && i < n; i += (ssize_t)strlen(names + i) + 1) {
        const char *name = names + i;
        if (strncmp(name, "security.", 9) == 0) continue;
        ssize_t size = fgetxattr(from, name, nullptr, 0);
        void *value = size >= 0 ? malloc(size > 0 ? (size_t)size : 1) : nullptr;
        if (size < 0 || (value && (size = fgetxattr(from, name, value, (size_t)size)) < 0))
            e = Err();
        else if (!value)
            e = ENOMEM;
        else if (fsetxattr(to, name, value, (size_t)size, 0) != 0)
            e = Err();
        free(value);
    }
    free(names);
    return e;
#else
    (void)from, (void)to;
    return 0;
#endif
}

/* Closes fd and removes name (when it still names the file mine, never a
 * name someone else has taken over); frees name. */
static void Discard(int fd, char *name, const struct stat &mine) {
    struct stat st;
    if (name && lstat(name, &st) == 0 && st.st_dev == mine.st_dev && st.st_ino == mine.st_ino)
        unlink(name);
    free(name);
    if (fd >= 0) close(fd);
}

/* A new file beside target for writing: unnamed where unnamed and the
 * system can (*name null; TRY_NAMED where it cannot), else made by
 * mkostemp under SideName(tag) (*name malloc'd). */
static int MakeSide(const char *target, const char *tag, bool unnamed, int *fd, char **name) {
    const char *slash = strrchr(target, '/');
    size_t folder = slash ? (size_t)(slash - target) + 1 : 0;
    *name = nullptr;
#ifdef O_TMPFILE
    if (unnamed) {
        char *path = folder ? strndup(target, folder) : strdup(".");
        if (!path) return ENOMEM;
        *fd = open(path, O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        int e = *fd < 0 ? Err() : 0;
        free(path);
        /* A file system or kernel without unnamed files. */
        return e == EOPNOTSUPP || e == ENOTSUP || e == EISDIR || e == EINVAL ? TRY_NAMED : e;
    }
#endif
    if (unnamed) return TRY_NAMED;
    if (!(*name = SideName(target, folder, tag))) return ENOMEM;
    *fd = mkostemp(*name, O_CLOEXEC);
    if (*fd >= 0) return 0;
    int e = Err();
    free(*name);
    *name = nullptr;
    return e;
}

/* Gives the unnamed new file fd a fresh name beside target; *name is that
 * name. TRY_NAMED when it cannot be named here. */
static int NameUnnamed(int fd, const char *target, char **name) {
    char proc[64], *p = nullptr;
    snprintf(proc, sizeof proc, "/proc/self/fd/%d", fd);
    const char *slash = strrchr(target, '/');
    int e = EEXIST;
    for (int attempt = 0; attempt < 10 && e == EEXIST; attempt++) {
        free(p);
        unsigned char noise[6];
        if (!(p = SideName(target, slash ? (size_t)(slash - target) + 1 : 0, SIDE_NEW)))
            return ENOMEM;
        if (getentropy(noise, sizeof noise) != 0) e = Err();
        for (size_t i = 0, n = strlen(p); e == EEXIST && i < 6; i++)
            p[n - 6 + i] = "abcdefghijklmnopqrstuvwxyz0123456789"[noise[i] % 36];
        if (e == EEXIST) e = linkat(AT_FDCWD, proc, AT_FDCWD, p, AT_SYMLINK_FOLLOW) ? Err() : 0;
    }
    if (e == 0) *name = p;
    if (e != 0) free(p);
    return e == ENOENT || NoHardLinks(e) ? TRY_NAMED : e; /* ENOENT: no /proc */
}

/* Writes the bytes to a new file and puts it in target's place: over the
 * old file oldfd (stat old) when there is one, else under the absent name.
 * *made tells whether the new file was made and given the old one's owner,
 * mode and attributes. Returns 0, TRY_NAMED, or the reason; the new file is
 * gone again on a failure. */
static int SaveNew(const char *target, int oldfd, const struct stat &old, const void *bytes,
                   size_t size, bool unnamed, bool *made) {
    int fd = -1;
    char *name = nullptr;
    struct stat mine = {};
    int e = MakeSide(target, SIDE_NEW, unnamed, &fd, &name);
    if (e != 0) return e;
    if (fstat(fd, &mine) != 0) e = Err();
    if (e == 0 && oldfd < 0 && name) { /* mkostemp's 0600: the mode of a new file instead */
        mode_t mask = umask(0);
        umask(mask);
        if (fchmod(fd, 0666 & ~mask) != 0) e = Err();
    }
    if (e == 0 && oldfd >= 0 && (mine.st_uid != old.st_uid || mine.st_gid != old.st_gid) &&
        fchown(fd, old.st_uid, old.st_gid) != 0)
        e = Err();
    if (e == 0 && oldfd >= 0 && fchmod(fd, old.st_mode & 07777) != 0) e = Err();
    if (e == 0 && oldfd >= 0) e = CopyXattrs(oldfd, fd);
    *made = e == 0;
    if (e == 0) e = WriteAll(fd, bytes, size);
    if (e == 0 && fsync(fd) != 0) e = Err();
    if (e == 0 && !name) e = NameUnnamed(fd, target, &name);
    if (e == 0 && close(fd) != 0) e = Err();
    if (e == 0) fd = -1;
    struct stat now;
    if (e == 0 && oldfd >= 0 && stat(target, &now) != 0) e = Err();
    if (e == 0 && oldfd >= 0 && (now.st_dev != old.st_dev || now.st_ino != old.st_ino))
        e = FILE_ERR_CHANGED;
    if (e == 0 && oldfd >= 0 && rename(name, target) != 0) e = Err();
    /* A new name: a link, never replacing a file made since the save
     * looked; a rename where the file system has no hard links. */
    if (e == 0 && oldfd < 0 && linkat(AT_FDCWD, name, AT_FDCWD, target, 0) != 0) {
        e = Err();
        if (NoHardLinks(e)) e = rename(name, target) != 0 ? Err() : 0;
    }
    Discard(fd, name, mine);
    return e;
}

/* Makes the folder of target record its new entry on the disk. Best
 * effort: the save has succeeded already, whatever happens here. */
static void SyncFolder(const char *target) {
    const char *slash = strrchr(target, '/');
    char *path = slash ? strndup(target, (size_t)(slash - target) + 1) : strdup(".");
    int fd = path ? open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
    free(path);
    if (fd < 0) return;
    (void)fsync(fd);
    close(fd);
}

/* Reads up to cap bytes of fd from offset 0 on into buf, until the end of
 * the file; *got is their number. */
static int ReadAll(int fd, void *buf, size_t cap, size_t *got) {
    for (*got = 0; *got < cap;) {
        ssize_t n = pread(fd, (char *)buf + *got, cap - *got, (off_t)*got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Err();
        if (n == 0) break;
        *got += (size_t)n;
    }
    return 0;
}

/* Takes the lock of fd, waiting for the other saver that holds it; a file
 * system without locks has none to take. */
static int Lock(int fd) {
    while (flock(fd, LOCK_EX) != 0)
        if (errno != EINTR)
            return errno == ENOSYS || errno == EOPNOTSUPP || errno == ENOLCK ? 0 : Err();
    return 0;
}

/* Puts the old bytes back into target once the descriptor of the rewrite
 * has failed to close: through a new one, when target is still the file
 * was. */
static int PutBack(const char *target, const struct stat &was, const void *old, size_t n) {
    int fd = -1;
    struct stat st;
    int e = OpenRegular(target, O_WRONLY | O_NOFOLLOW, &fd, &st);
    if (e != 0) return e;
    if (st.st_dev != was.st_dev || st.st_ino != was.st_ino) e = FILE_ERR_CHANGED;
    if (e == 0) e = Lock(fd);
    if (e == 0) e = Rewrite(fd, old, n);
    if (close(fd) != 0 && e == 0) e = Err();
    return e;
}

/* Rewrites the old file fd in place under its lock, so that two savers take
 * turns: a synced copy of the old bytes goes beside it first where the
 * folder allows one, and the old bytes are put back from memory on any
 * failure; the copy goes once the old or the new bytes are whole in target.
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
        int c = MakeSide(target, SIDE_COPY, false, &cfd, &copy);
        if (c == 0 && fstat(cfd, &cst) != 0) c = Err();
        if (c == 0) c = WriteAll(cfd, old, n);
        if (c == 0 && fsync(cfd) != 0) c = Err();
        if (c == 0) {
            c = close(cfd) != 0 ? Err() : 0;
            cfd = -1;
        }
        /* Where the folder refuses the copy, the rewrite goes without. */
        if (c != 0 && (copy || !InPlaceAllowed(c))) e = c;
    }
    bool restored = true;
    if (e == 0) {
        e = Rewrite(fd, bytes, size);
        if (e != 0) restored = Rewrite(fd, old, n) == 0;
        int c = close(fd) != 0 ? Err() : 0; /* may report a failed write-back */
        fd = -1;
        if (e == 0 && c != 0) {
            restored = PutBack(target, st, old, n) == 0;
            e = c;
        }
    }
    if (fd >= 0) close(fd); /* nothing was written through it */
    if (restored)
        Discard(cfd, copy, cst);
    else
        free(copy); /* the copy holds the old bytes whole */
    free(old);
    return e;
}

FileResult SaveBytes(const char *name, const void *bytes, size_t size, int *err) {
    signal(SIGXFSZ, SIG_IGN); /* a file-size limit fails a write, not the program */
    int fd = -1;
    struct stat st = {}, lst;
    int e = OpenRegular(name, O_RDWR, &fd, &st);
    if (e == EACCES) e = OpenRegular(name, O_WRONLY, &fd, &st);
    /* A name that is there but leads nowhere (a dangling link) is the
     * user's: it is not replaced. */
    bool absent = e == ENOENT && lstat(name, &lst) != 0 && errno == ENOENT;
    if (e != 0 && !absent) {
        *err = e;
        return FILE_OPEN_FAILED;
    }
    char *target = nullptr; /* where name is a symbolic link: its target */
    e = absent || lstat(name, &lst) == 0 ? 0 : Err();
    if (e == 0 && !absent && S_ISLNK(lst.st_mode) && !(target = realpath(name, nullptr))) e = Err();
    const char *to = target ? target : name;
    /* A new file renamed over one with other names would split them. */
    bool made = false, in_place = e == 0 && st.st_nlink > 1;
    if (e == 0 && !in_place) {
        e = SaveNew(to, fd, st, bytes, size, true, &made);
        if (e == TRY_NAMED) e = SaveNew(to, fd, st, bytes, size, false, &made);
        in_place = !absent && !made && InPlaceAllowed(e);
        if (e == 0) SyncFolder(to);
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
    int fd = -1;
    struct stat st;
    size_t n = 0;
    int e = OpenRegular(name, O_RDONLY, &fd, &st);
    if (e != 0) {
        *err = e;
        return FILE_OPEN_FAILED;
    }
    e = ReadAll(fd, buf, cap, &n);
    close(fd); /* nothing was written through it */
    if (e != 0) {
        *err = e;
        return FILE_IO_FAILED;
    }
    *got = n;
    return FILE_DONE;
}
