/* fileio.cpp - see fileio.h. The decisions of a save and a load; each step
 * is one call of the system's side (fileos.h). */
#include "fileio.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fail.h"
#include "fileos.h"

/* How the bytes of a save reach the file. */
enum SaveWay {
    SAVE_NEW_FILE, /* a new file put in the old one's place */
    SAVE_IN_PLACE  /* the open file rewritten */
};

/* True when a failure to make a new file on the folder, or to give it what
 * the old file has, leaves the rewrite in place as the only way: the folder
 * refuses new files (a read-only folder or file system), or the program may
 * not give the new file the old one's owner, ACLs or attributes. Any other
 * failure (a full disk, no descriptors, no memory) fails the save. */
static bool InPlaceAllowed(int err) {
    return err == EACCES || err == EPERM || err == EROFS || err == ENOTSUP
#if defined(EOPNOTSUPP) && EOPNOTSUPP != ENOTSUP
           || err == EOPNOTSUPP
#endif
        ;
}

/* Opens name as OsOpen does and keeps it open only when it is a regular
 * file; a folder, a FIFO or a device is closed again and refused. */
static int OpenRegular(const char *name, bool write, OsFile *f, OsId *id) {
    int e = OsOpen(name, write, f, id);
    if (e == 0 && id->kind != OS_REGULAR) {
        OsClose(f);
        e = id->kind == OS_FOLDER ? EISDIR : FILE_ERR_NOT_REGULAR;
    }
    return e;
}

/* A malloc'd copy of s; null without memory. */
static char *CopyOf(const char *s) {
    size_t n = strlen(s) + 1;
    char *p = (char *)malloc(n);
    return p ? (char *)memcpy(p, s, n) : nullptr;
}

/* A malloc'd name beside target that shows whose it is:
 * ".<file>.<program>-XXXXXX" with the X replaced by letters and digits that
 * differ from call to call. Null without memory. */
static char *TempName(const char *target) {
    static const char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    static unsigned long long counter;
    size_t folder = OsFolderLength(target);
    const char *base = target + folder, *program = ProgramName();
    size_t n = folder + 1 + strlen(base) + 1 + strlen(program) + 7;
    char *name = (char *)malloc(n + 1);
    if (!name) return nullptr;
    snprintf(name, n + 1, "%.*s.%s.%s-", (int)folder, target, base, program);
    unsigned long long x = OsNoise() + ++counter;
    x = x * 6364136223846793005ULL + 1442695040888963407ULL;
    for (size_t i = n - 6; i < n; i++, x /= 36)
        name[i] = digits[x % 36];
    name[n] = '\0';
    return name;
}

/* Gives the new file t a fresh name beside target through step (making the
 * file, or linking the unnamed one), trying other names while one is taken.
 * Returns 0 with t->name set, or the reason. */
static int UnderFreshName(const char *target, OsTemp *t, int (*step)(OsTemp *, const char *)) {
    for (int attempt = 0; attempt < 100; attempt++) {
        char *name = TempName(target);
        if (!name) return ENOMEM;
        int e = step(t, name);
        if (e == 0) {
            t->name = name;
            return 0;
        }
        free(name);
        if (e != EEXIST) return e;
    }
    return EEXIST;
}

/* Makes the new file for target, without a name where the system can (a
 * program killed in the middle then leaves nothing behind), and, when there
 * is an old file f, gives it the old file's owner, mode and attributes.
 * Returns 0, or the reason (the new file then gone again). */
static int PrepareTemp(const char *target, OsFile *f, OsTemp *t) {
    int e = OsMakeUnnamed(target, t);
    if (e == ENOTSUP) e = UnderFreshName(target, t, OsMakeNamed);
    if (e == 0 && f->handle != OS_NO_FILE) e = OsKeepMeta(*f, t);
    if (e != 0) OsTempDiscard(t);
    return e;
}

/* Puts the written new file t in target's place: over the old file id,
 * when it is still the one the save opened (an unnamed new file gets a
 * fresh name just before, as a rename needs one), or under the name of an
 * absent target. Returns 0 or the reason. */
static int PutInPlace(OsTemp *t, const char *target, bool existed, const OsId &id) {
    if (!existed) return t->name ? OsPlaceNew(t, target) : OsLinkUnnamed(t, target);
    OsId now = {};
    int e = OsIdOf(target, &now);
    if (e == 0 && !OsSameId(now, id)) e = FILE_ERR_CHANGED;
    if (e == 0 && !t->name) e = UnderFreshName(target, t, OsLinkUnnamed);
    if (e == 0) e = OsReplace(t, target);
    if (e == 0) { /* the name is the target's now: nothing to remove */
        free(t->name);
        t->name = nullptr;
    }
    return e;
}

/* Rewrites the old file f with the bytes and closes it. Returns 0 or the
 * reason. */
static int SaveInPlace(OsFile *f, const void *bytes, size_t size) {
    int e = OsRewrite(*f, bytes, size);
    int c = OsClose(f); /* the close may report a failed write-back */
    return e != 0 ? e : c;
}

/* Writes the bytes to the new file t and puts it in target's place. The old
 * file f is closed first: nothing was written through it, and a system that
 * will not replace an open file can then. Returns 0 or the reason; the new
 * file is gone again on a failure. */
static int SaveNewFile(OsTemp *t, OsFile *f, const char *target, bool existed, const OsId &id,
                       const void *bytes, size_t size) {
    int e = OsWriteTemp(t, bytes, size);
    OsClose(f);
    if (e == 0) e = PutInPlace(t, target, existed, id);
    OsTempDiscard(t);
    if (e == 0) OsSyncFolder(target); /* the data is in place: best effort */
    return e;
}

/* The save once the target is known: a regular file open as f (existed) or
 * an absent name. Frees nothing of the caller's; closes f. */
static FileResult SaveTo(const char *target, OsFile *f, bool existed, const OsId &id,
                         const void *bytes, size_t size, int *err) {
    OsTemp t = {OS_NO_FILE, nullptr, {}};
    /* A new file renamed over one with other names would split them. */
    SaveWay way = existed && id.links > 1 ? SAVE_IN_PLACE : SAVE_NEW_FILE;
    if (way == SAVE_NEW_FILE) {
        int e = PrepareTemp(target, f, &t);
        if (e != 0 && !existed) { /* nothing can be made there at all */
            *err = e;
            return FILE_OPEN_FAILED;
        }
        if (e != 0 && !InPlaceAllowed(e)) {
            OsClose(f);
            *err = e;
            return FILE_IO_FAILED;
        }
        if (e != 0) way = SAVE_IN_PLACE;
    }
    int e = way == SAVE_IN_PLACE ? SaveInPlace(f, bytes, size)
                                 : SaveNewFile(&t, f, target, existed, id, bytes, size);
    *err = e;
    return e == 0 ? FILE_DONE : FILE_IO_FAILED;
}

FileResult SaveBytes(const char *name, const void *bytes, size_t size, int *err) {
    OsNoSizeSignal();
    OsFile f = {OS_NO_FILE};
    OsId id = {};
    int e = OpenRegular(name, true, &f, &id);
    /* A name that is there but leads nowhere (a dangling link) is not
     * replaced: the link is the user's. */
    if (e == ENOENT && !OsNameTaken(name)) return SaveTo(name, &f, false, id, bytes, size, err);
    if (e != 0) {
        *err = e;
        return FILE_OPEN_FAILED;
    }
    char *target = nullptr;
    e = OsLinkTarget(name, f, &target);
    if (e == 0 && !target && !(target = CopyOf(name))) e = ENOMEM;
    if (e != 0) {
        OsClose(&f);
        *err = e;
        return FILE_IO_FAILED;
    }
    FileResult r = SaveTo(target, &f, true, id, bytes, size, err);
    free(target);
    return r;
}

FileResult LoadBytes(const char *name, void *buf, size_t cap, size_t *got, int *err) {
    OsFile f = {OS_NO_FILE};
    OsId id = {};
    int e = OpenRegular(name, false, &f, &id);
    if (e != 0) {
        *err = e;
        return FILE_OPEN_FAILED;
    }
    size_t n = 0;
    e = OsRead(f, buf, cap, &n);
    OsClose(&f);
    if (e != 0) {
        *err = e;
        return FILE_IO_FAILED;
    }
    *got = n;
    return FILE_DONE;
}

const char *FileErrorText(int err) {
    if (err == FILE_ERR_NOT_REGULAR) return "Not a regular file";
    if (err == FILE_ERR_CHANGED) return "Replaced by another program during the save";
    return strerror(err);
}
