/* file_posix.cpp - the save and the load on POSIX systems. A save writes
 * the bytes to a new file and renames it over the old one; where the folder
 * refuses that, or a rename would split hard links, it rewrites the old file
 * in place under its lock, which a load takes too. On Linux a new file is
 * O_TMPFILE, nameless until it is complete; elsewhere mkostemp makes it
 * under its side name. */
#include "file_posix.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

/* ---- The browser's store ---------------------------------------------------- */

/* What the host is asked about a data file: whether it may keep it, to
 * store it after a save, to put the stored one in place before a load. */
enum HostAsk { HOST_KEEPS, HOST_STORE, HOST_FETCH };

#ifdef __EMSCRIPTEN__
/* The page keeps the data files in the browser's storage (IndexedDB), one
 * file at a time, so that two tabs never write their folders over each
 * other. 0 when done (or without such a host: Node), 1 for a name outside
 * the folder it keeps, 2 without room, 3 when the store failed. */
EM_ASYNC_JS(int, HostFile, (int ask, const char *name),
            { return Module.adtFile ? await Module.adtFile(ask, UTF8ToString(name)) : 0; });
static FileError Host(HostAsk ask, const char *name) {
    int r = HostFile(ask, name);
    if (r == 1) return Why(FILE_OUTSIDE_STORE);
    return r == 0 ? kOk : Sys(r == 2 ? ENOSPC : EIO);
}
#else
static FileError Host(HostAsk, const char *) {
    return kOk;
}
#endif

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

/* The save by a new file on the folder dir (-1: a named one), over the old
 * file oldfd (old), or with oldfd -1 as the absent target; the new file is
 * gone again on a failure. *made: it was made; *link_failed: an unnamed
 * new file could not be named here. */
static FileError SaveNew(const char *target, int dir, int oldfd, const struct stat &old,
                         const void *bytes, size_t size, bool *made, bool *link_failed) {
    SideFile f;
    FileError e = MakeSide(target, dir, SIDE_NEW, &f);
    *made = !Failed(e);
    if (*made && oldfd != -1) e = ReplaceWith(&f, target, oldfd, old, bytes, size);
    if (*made && oldfd == -1) e = CreateWith(&f, target, bytes, size);
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

/* With the n old bytes in memory: a copy of them beside target first (dir
 * -2: none, the folder would keep it), then the rewrite; the copy goes once
 * the file holds the old or the new bytes whole, and stays when the old
 * bytes could not be put back. */
static FileError RewriteKeeping(int fd, const char *target, int dir, const char *old, size_t n,
                                const void *bytes, size_t size) {
    SideFile copy = {-1, nullptr, {}};
    bool restored = true;
    FileError e = dir != -2 ? MakeCopy(target, dir, old, n, &copy) : kOk;
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

/* Saves over the old file fd (st) that name leads to (a symbolic link stays;
 * the file it leads to gets the bytes). */
static FileError SaveOver(const char *name, int fd, const struct stat &st, const void *bytes,
                          size_t size) {
    char *target = realpath(name, nullptr);
    if (!target) return Sys(errno);
    int dir = OpenFolder(target);
    FileError e = kOk;
    bool kept = AppendOnly(dir);             /* no name made there goes again */
    bool in_place = st.st_nlink > 1 || kept; /* a rename would split the names */
    if (!in_place) {
        bool made, link_failed;
        e = SaveNew(target, dir, fd, st, bytes, size, &made, &link_failed);
        if (link_failed) e = SaveNew(target, -1, fd, st, bytes, size, &made, &link_failed);
        in_place = Refused(e);
        if (!Failed(e) && dir != -1) fsync(dir); /* best effort: the save has succeeded */
    }
    if (in_place) e = RewriteInPlace(fd, st, target, kept ? -2 : dir, bytes, size);
    if (dir != -1) close(dir);
    free(target);
    return e;
}

/* Saves the bytes as the absent file name. */
static FileResult SaveAbsent(const char *name, const void *bytes, size_t size, FileError *err) {
    int dir = OpenFolder(name);
    struct stat none = {};
    bool made, link_failed;
    *err = SaveNew(name, dir, -1, none, bytes, size, &made, &link_failed);
    if (link_failed) *err = SaveNew(name, -1, -1, none, bytes, size, &made, &link_failed);
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

/* The save in the program's own folder. */
static FileResult SaveHere(const char *name, const void *bytes, size_t size, FileError *err) {
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

FileResult SaveBytes(const char *name, const void *bytes, size_t size, FileError *err) {
    *err = Host(HOST_KEEPS, name);
    if (Failed(*err)) return FILE_OPEN_FAILED;
    FileResult result = SaveHere(name, bytes, size, err);
    if (result != FILE_DONE) return result;
    *err = Host(HOST_STORE, name);
    return Failed(*err) ? FILE_IO_FAILED : FILE_DONE;
}

FileResult LoadBytes(const char *name, void *buf, size_t cap, size_t *got, FileError *err) {
    int fd;
    struct stat st;
    *got = 0;
    *err = Host(HOST_FETCH, name);
    if (Failed(*err)) return FILE_OPEN_FAILED;
    *err = OpenRegular(name, O_RDONLY, &fd, &st);
    if (Failed(*err)) return FILE_OPEN_FAILED;
    *err = Lock(fd, LOCK_SH); /* waits while a save rewrites the file in place */
    if (!Failed(*err)) *err = ReadAll(fd, buf, cap, got);
    close(fd); /* nothing was written through it */
    return Failed(*err) ? FILE_IO_FAILED : FILE_DONE;
}
