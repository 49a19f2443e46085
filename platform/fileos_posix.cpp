/* fileos_posix.cpp - the steps of fileos.h on POSIX systems. Unnamed new
 * files are Linux's O_TMPFILE, named later through /proc/self/fd. */
#ifndef _WIN32
#include "fileos.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/xattr.h>
#endif

/* The errno of a failed call, never 0. */
static int Err() {
    return errno != 0 ? errno : EIO;
}

/* The identity and the kind of the file st describes. */
static OsId IdOf(const struct stat &st) {
    OsKind kind = S_ISREG(st.st_mode) ? OS_REGULAR : S_ISDIR(st.st_mode) ? OS_FOLDER : OS_OTHER;
    return OsId{(unsigned long long)st.st_dev, (unsigned long long)st.st_ino,
                (unsigned long)st.st_nlink, kind};
}

/* Fills *id from the open fd. */
static int IdOfFd(int fd, OsId *id) {
    struct stat st;
    if (fstat(fd, &st) != 0) return Err();
    *id = IdOf(st);
    return 0;
}

/* Never becoming the terminal of the program; a regular file is made
 * blocking once it is open. */
int OsOpen(const char *name, bool write, OsFile *f, OsId *id) {
    int fd = open(name, (write ? O_WRONLY : O_RDONLY) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return Err();
    int e = IdOfFd(fd, id);
    if (e != 0) {
        close(fd);
        return e;
    }
    if (id->kind == OS_REGULAR) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    f->handle = fd;
    return 0;
}

bool OsNameTaken(const char *name) {
    struct stat st;
    return lstat(name, &st) == 0;
}

int OsLinkTarget(const char *name, OsFile, char **path) {
    struct stat st;
    *path = nullptr;
    if (lstat(name, &st) != 0) return Err();
    if (!S_ISLNK(st.st_mode)) return 0;
    *path = realpath(name, nullptr);
    return *path ? 0 : Err();
}

size_t OsFolderLength(const char *path) {
    const char *slash = strrchr(path, '/');
    return slash ? (size_t)(slash - path) + 1 : 0;
}

/* The folder of path as a malloc'd string that open() takes: "." for a bare
 * name. Null without memory. */
static char *FolderOf(const char *path) {
    size_t n = OsFolderLength(path);
    return n == 0 ? strdup(".") : strndup(path, n);
}

unsigned long long OsNoise() {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ((unsigned long long)ts.tv_nsec ^ (unsigned long long)ts.tv_sec << 30) +
           ((unsigned long long)getpid() << 16);
}

/* Like every new file of a save it starts with the mode a new file gets
 * (0666 less the umask): it is empty until OsKeepMeta has given it the old
 * file's. */
int OsMakeNamed(OsTemp *t, const char *name) {
    int fd = open(name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return Err();
    t->handle = fd;
    return IdOfFd(fd, &t->id);
}

int OsMakeUnnamed(const char *target, OsTemp *t) {
#ifdef O_TMPFILE
    char *folder = FolderOf(target);
    if (!folder) return ENOMEM;
    int fd = open(folder, O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    int e = fd < 0 ? Err() : 0;
    free(folder);
    if (fd >= 0) {
        t->handle = fd;
        return IdOfFd(fd, &t->id);
    }
    /* A file system or kernel without unnamed files. */
    if (e != EOPNOTSUPP && e != ENOTSUP && e != EISDIR && e != EINVAL) return e;
#else
    (void)target, (void)t;
#endif
    return ENOTSUP;
}

/* Copies the extended attributes of from to to (the "security." ones
 * excepted: the system sets those of a new file itself). */
static int CopyXattrs(int from, int to) {
#ifdef __linux__
    ssize_t n = flistxattr(from, nullptr, 0);
    if (n < 0) return errno == ENOTSUP ? 0 : Err(); /* none on this file system */
    if (n == 0) return 0;
    char *names = (char *)malloc((size_t)n);
    if (!names) return ENOMEM;
    n = flistxattr(from, names, (size_t)n);
    int e = n < 0 ? Err() : 0; /* ERANGE: one appeared meanwhile */
    for (ssize_t i = 0; e == 0 && i < n; i += (ssize_t)strlen(names + i) + 1) {
        const char *name = names + i;
        if (strncmp(name, "security.", 9) == 0) continue;
        ssize_t size = fgetxattr(from, name, nullptr, 0);
        void *value = size >= 0 ? malloc(size > 0 ? (size_t)size : 1) : nullptr;
        if (size < 0)
            e = Err();
        else if (!value)
            e = ENOMEM;
        else if ((size = fgetxattr(from, name, value, (size_t)size)) < 0)
            e = Err();
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

int OsKeepMeta(OsFile f, OsTemp *t) {
    int from = (int)f.handle, to = (int)t->handle;
    struct stat st, tst;
    if (fstat(from, &st) != 0 || fstat(to, &tst) != 0) return Err();
    if ((tst.st_uid != st.st_uid || tst.st_gid != st.st_gid) &&
        fchown(to, st.st_uid, st.st_gid) != 0)
        return Err();
    if (fchmod(to, st.st_mode & 07777) != 0) return Err();
    return CopyXattrs(from, to);
}

/* Writes all size bytes at p to fd, going on after partial writes and
 * interruptions. */
static int WriteAll(int fd, const void *p, size_t size) {
    const unsigned char *b = (const unsigned char *)p;
    while (size > 0) {
        ssize_t n = write(fd, b, size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Err();
        if (n == 0) return EIO;
        b += n;
        size -= (size_t)n;
    }
    return 0;
}

int OsWriteTemp(OsTemp *t, const void *bytes, size_t size) {
    int e = WriteAll((int)t->handle, bytes, size);
    if (e == 0 && fsync((int)t->handle) != 0) e = Err();
    return e;
}

int OsRewrite(OsFile f, const void *bytes, size_t size) {
    int fd = (int)f.handle;
    if (lseek(fd, 0, SEEK_SET) != 0) return Err();
    int e = WriteAll(fd, bytes, size);
    if (e == 0 && ftruncate(fd, (off_t)size) != 0) e = Err();
    if (e == 0 && fsync(fd) != 0) e = Err();
    return e;
}

int OsIdOf(const char *path, OsId *id) {
    struct stat st;
    if (stat(path, &st) != 0) return Err();
    *id = IdOf(st);
    return 0;
}

int OsLinkUnnamed(OsTemp *t, const char *to) {
#ifdef O_TMPFILE
    char proc[64];
    snprintf(proc, sizeof proc, "/proc/self/fd/%d", (int)t->handle);
    if (linkat(AT_FDCWD, proc, AT_FDCWD, to, AT_SYMLINK_FOLLOW) == 0) return 0;
    int e = Err();
    if (e != ENOENT || access("/proc/self/fd", X_OK) == 0) return e;
    /* No /proc: the descriptor itself, which needs a privilege. */
    return linkat((int)t->handle, "", AT_FDCWD, to, AT_EMPTY_PATH) == 0 ? 0 : Err();
#else
    (void)t, (void)to;
    return ENOTSUP;
#endif
}

int OsReplace(OsTemp *t, const char *target) {
    return rename(t->name, target) == 0 ? 0 : Err();
}

int OsPlaceNew(OsTemp *t, const char *target) {
    if (link(t->name, target) == 0) return 0; /* OsTempDiscard removes the other name */
    int e = Err();
    if (e != EPERM && e != ENOTSUP && e != EOPNOTSUPP) return e;
    /* A file system without hard links: a rename, which would replace a file
     * made in the moment since the save looked. */
    return rename(t->name, target) == 0 ? 0 : Err();
}

void OsTempDiscard(OsTemp *t) {
    struct stat st;
    if (t->name && lstat(t->name, &st) == 0 && OsSameId(IdOf(st), t->id)) unlink(t->name);
    free(t->name);
    t->name = nullptr;
    if (t->handle != OS_NO_FILE) close((int)t->handle);
    t->handle = OS_NO_FILE;
}

void OsSyncFolder(const char *target) {
    char *folder = FolderOf(target);
    if (!folder) return;
    int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    free(folder);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

int OsRead(OsFile f, void *buf, size_t cap, size_t *got) {
    unsigned char *p = (unsigned char *)buf;
    size_t size = 0;
    while (size < cap) {
        ssize_t n = read((int)f.handle, p + size, cap - size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Err();
        if (n == 0) break;
        size += (size_t)n;
    }
    *got = size;
    return 0;
}

int OsClose(OsFile *f) {
    if (f->handle == OS_NO_FILE) return 0;
    int r = close((int)f->handle);
    f->handle = OS_NO_FILE;
    return r == 0 ? 0 : Err();
}

void OsNoSizeSignal() {
#ifdef SIGXFSZ
    signal(SIGXFSZ, SIG_IGN);
#endif
}

#endif
