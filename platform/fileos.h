/* fileos.h - the file system's steps of a save and a load, one contract with
 * one source per system: fileos_posix.cpp and fileos_win.cpp.
 *
 * The decisions (what is refused, where the new bytes go, when to rewrite in
 * place, what to report) are fileio.cpp's; the functions here only carry out
 * one step each and say how it went. Every function that can fail returns 0
 * or an errno value (ENOENT, EACCES, ENOSPC, ENOMEM, ...); the Windows side
 * maps its system's errors to the same values, so both sides give the same
 * reasons. Nothing here throws; every allocation is a checked malloc.
 */
#ifndef PLATFORM_FILEOS_H
#define PLATFORM_FILEOS_H

#include <cstddef>
#include <cstdint>

/* No open file: the handle of an OsFile or OsTemp that is closed. */
#define OS_NO_FILE ((intptr_t)-1)

/* What kind of file an open handle reaches. */
enum OsKind { OS_REGULAR, OS_FOLDER, OS_OTHER };

/* Who a file is: two files are the same when volume and index agree. */
struct OsId {
    unsigned long long volume, index;
    unsigned long links; /* names the file has (hard links) */
    OsKind kind;
};

/* An open file: a descriptor on POSIX, a HANDLE on Windows. */
struct OsFile {
    intptr_t handle;
};

/* The new file of a save. It may have no name yet (Linux O_TMPFILE): name
 * is then null. name is malloc'd and owned by the record; id is the new
 * file's own identity, so that it is never removed by a name someone else
 * has taken over. */
struct OsTemp {
    intptr_t handle;
    char *name;
    OsId id;
};

/* Opens the existing file name for writing (write) or reading, without
 * creating it, without waiting (a FIFO without a reader, a device) and
 * without truncating it; a symbolic link is followed. Fills *f and *id.
 * ENOENT when nothing is there to open. */
int OsOpen(const char *name, bool write, OsFile *f, OsId *id);

/* True when the name itself is present, even where opening it says ENOENT
 * (a symbolic link to nothing). */
bool OsNameTaken(const char *name);

/* Where name is a symbolic link, *path is the malloc'd path of the file
 * that f (opened as name) finally is, and the caller frees it; otherwise
 * *path is null. */
int OsLinkTarget(const char *name, OsFile f, char **path);

/* The length of the folder part of path, its last separator included (0
 * for a bare name). */
size_t OsFolderLength(const char *path);

/* A number that differs from call to call and from process to process. */
unsigned long long OsNoise();

/* Makes a new, empty file for writing on the folder of target that has no
 * name yet. ENOTSUP where the system or the file system cannot. */
int OsMakeUnnamed(const char *target, OsTemp *t);

/* Makes a new, empty file for writing under name, never through a name that
 * is already there: EEXIST when name is taken. Leaves t->name to the
 * caller. */
int OsMakeNamed(OsTemp *t, const char *name);

/* Gives the unnamed new file t the name name: EEXIST when name is taken.
 * Leaves t->name to the caller. */
int OsLinkUnnamed(OsTemp *t, const char *name);

/* Gives the new file t what the old file f has and a rename would lose:
 * owner and group, permission bits and, where the system has them, the
 * extended attributes (which carry the ACLs). EPERM or EACCES when the
 * program may not give them; ENOTSUP when the file system cannot hold them. */
int OsKeepMeta(OsFile f, OsTemp *t);

/* Writes the size bytes to the new file t and makes them durable on the
 * disk. */
int OsWriteTemp(OsTemp *t, const void *bytes, size_t size);

/* Rewrites the open file f with the bytes: writes over the old ones, cuts
 * what is left beyond them, makes them durable. */
int OsRewrite(OsFile f, const void *bytes, size_t size);

/* Fills *id with the identity of the file path now leads to. ENOENT when
 * path is gone. */
int OsIdOf(const char *path, OsId *id);

/* True when a and b are the same file. */
inline bool OsSameId(const OsId &a, const OsId &b) {
    return a.volume == b.volume && a.index == b.index;
}

/* Puts the named new file t in the place of the existing file target, in
 * one step that the program's death cannot split: afterwards target is
 * either the old file or the new one. The caller discards t afterwards,
 * whatever the result. */
int OsReplace(OsTemp *t, const char *target);

/* Gives the named new file t the name target, which must not exist: EEXIST
 * when it has come into being meanwhile. The caller discards t afterwards,
 * which removes a name the new file had before. */
int OsPlaceNew(OsTemp *t, const char *target);

/* Closes t and removes its own name, if it still names the new file (never
 * a name that another file has taken over); frees the name. Safe on a
 * record that has nothing left. */
void OsTempDiscard(OsTemp *t);

/* Makes the folder of target record the new name on the disk, as far as
 * the system allows; best effort, nothing to report. */
void OsSyncFolder(const char *target);

/* Reads up to cap bytes of f into buf, until the end of the file; stores
 * their number in *got. */
int OsRead(OsFile f, void *buf, size_t cap, size_t *got);

/* Closes f (nothing when it is closed already) and returns the close's
 * error. */
int OsClose(OsFile *f);

/* From now on a file-size limit makes a write fail instead of ending the
 * process. */
void OsNoSizeSignal();

#endif
