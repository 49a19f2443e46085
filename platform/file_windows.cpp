/* file_windows.cpp - the save and the load on Windows, names UTF-8 (as the
 * command line is carried) and UTF-16 to the system. A save moves a new file
 * over the old one (MoveFileExW), or where it must, rewrites the old one in
 * place under LockFileEx, which a load takes shared. A file made beside is
 * marked for deletion until complete: a kill leaves it whole or not at all. */
#if !defined(_WIN32_WINNT) || _WIN32_WINNT < 0x0600
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600 /* GetFinalPathNameByHandleW, SetFileInformationByHandle */
#endif
#define _CRT_RAND_S /* rand_s */
#include "file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <windows.h>

static const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

/* The folder, or a program holding the file, refuses the rename path. */
static bool Refused(FileError e) {
    return e.reason == FILE_IN_USE ||
           (e.reason == FILE_SYSTEM && (e.sys == EACCES || e.sys == EROFS));
}

/* The reason for the system's last error: EIO where none is listed. */
static FileError LastError() {
    // clang-format off
    static const struct { DWORD code; int err; } map[] = {
        {ERROR_FILE_NOT_FOUND, ENOENT}, {ERROR_PATH_NOT_FOUND, ENOENT}, {ERROR_BAD_NETPATH, ENOENT},
        {ERROR_ACCESS_DENIED, EACCES}, {ERROR_CANNOT_MAKE, EACCES}, {ERROR_WRITE_PROTECT, EROFS},
        {ERROR_DISK_FULL, ENOSPC}, {ERROR_HANDLE_DISK_FULL, ENOSPC}, {ERROR_OUTOFMEMORY, ENOMEM},
        {ERROR_TOO_MANY_OPEN_FILES, EMFILE}, {ERROR_NOT_ENOUGH_MEMORY, ENOMEM},
        {ERROR_FILE_EXISTS, EEXIST}, {ERROR_ALREADY_EXISTS, EEXIST}, {ERROR_INVALID_NAME, EINVAL},
        {ERROR_FILENAME_EXCED_RANGE, ENAMETOOLONG}, {ERROR_INVALID_DRIVE, ENOENT}};
    // clang-format on
    DWORD code = GetLastError();
    if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION) return {FILE_IN_USE, 0};
    if (code == ERROR_DEV_NOT_EXIST || code == ERROR_BAD_UNIT) return {FILE_NOT_REGULAR, 0};
    for (const auto &m : map)
        if (m.code == code) return {FILE_SYSTEM, m.err};
    return {FILE_SYSTEM, EIO};
}
/* kOk when ok, else the system's last error. */
static FileError Check(BOOL ok) {
    return ok ? kOk : LastError();
}

/* The UTF-8 name as malloc'd UTF-16; null (the last error set) when not. */
static wchar_t *Widen(const char *name) {
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name, -1, nullptr, 0);
    wchar_t *w = n > 1 ? (wchar_t *)malloc((size_t)n * sizeof(wchar_t)) : nullptr;
    if (w) MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name, -1, w, n);
    if (!w) SetLastError(n > 1 ? ERROR_NOT_ENOUGH_MEMORY : ERROR_INVALID_NAME);
    return w;
}

/* The path of the file h as malloc'd UTF-8 (a symbolic link's target);
 * null where the system cannot say (Wine, for a long path) or no memory. */
static char *FinalPath(HANDLE h) {
    const DWORD most = 32768; /* the longest path Windows takes */
    wchar_t *w = (wchar_t *)malloc(most * sizeof(wchar_t));
    DWORD got = w ? GetFinalPathNameByHandleW(h, w, most, FILE_NAME_NORMALIZED) : 0;
    int size = got > 0 && got < most ? WideCharToMultiByte(CP_UTF8, 0, w, -1, 0, 0, 0, 0) : 0;
    char *path = size ? (char *)malloc((size_t)size) : nullptr;
    if (path) WideCharToMultiByte(CP_UTF8, 0, w, -1, path, size, nullptr, nullptr);
    free(w);
    return path;
}

/* Opens name: *h, the regular file's identity *info, the name's attributes
 * *attrs (INVALID_FILE_ATTRIBUTES: none); no folder (EISDIR) or device. */
static FileError Open(const char *name, DWORD access, DWORD share, DWORD how, HANDLE *h,
                      BY_HANDLE_FILE_INFORMATION *info, DWORD *attrs) {
    *h = INVALID_HANDLE_VALUE;
    wchar_t *w = Widen(name);
    if (!w) return LastError();
    *h = CreateFileW(w, access | FILE_READ_ATTRIBUTES, share, nullptr, how, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
    FileError e = Check(*h != INVALID_HANDLE_VALUE);
    *attrs = GetFileAttributesW(w);
    free(w);
    bool folder = *attrs != INVALID_FILE_ATTRIBUTES && (*attrs & FILE_ATTRIBUTE_DIRECTORY);
    if (Failed(e)) return folder && e.sys == EACCES ? FileError{FILE_SYSTEM, EISDIR} : e;
    if (GetFileType(*h) != FILE_TYPE_DISK) e = {FILE_NOT_REGULAR, 0};
    if (!Failed(e)) e = Check(GetFileInformationByHandle(*h, info));
    if (!Failed(e)) return e;
    CloseHandle(*h);
    *h = INVALID_HANDLE_VALUE;
    return e;
}

/* Makes h hold exactly the size bytes at p, flushed to the disk. */
static FileError Rewrite(HANDLE h, const void *p, size_t size) {
    LARGE_INTEGER zero = {};
    FileError e = Check(SetFilePointerEx(h, zero, nullptr, FILE_BEGIN));
    for (size_t at = 0; at < size && !Failed(e);) {
        DWORD done = 0;
        e = Check(WriteFile(h, (const char *)p + at, (DWORD)(size - at), &done, nullptr));
        if (!Failed(e) && done == 0) e = {FILE_SYSTEM, EIO};
        at += done;
    }
    if (Failed(e)) return e;
    e = Check(SetEndOfFile(h));
    if (Failed(e)) return e;
    return Check(FlushFileBuffers(h));
}

/* Reads up to cap bytes of h from its start into buf, *got of them. */
static FileError ReadAll(HANDLE h, void *buf, size_t cap, size_t *got) {
    LARGE_INTEGER zero = {};
    FileError e = Check(SetFilePointerEx(h, zero, nullptr, FILE_BEGIN));
    DWORD n = 1;
    for (*got = 0; *got < cap && n > 0 && !Failed(e); *got += n)
        e = Check(ReadFile(h, (char *)buf + *got, (DWORD)(cap - *got), &n, nullptr));
    return e;
}

/* Takes a lock on the whole of h, shared or not, waiting while another
 * program holds one that excludes it. */
static FileError Lock(HANDLE h, DWORD how) {
    OVERLAPPED whole = {};
    return Check(LockFileEx(h, how, 0, MAXDWORD, MAXDWORD, &whole));
}

/* FILE_REPLACED when target no longer names the file info describes. */
static FileError StillNamed(const char *target, const BY_HANDLE_FILE_INFORMATION &info) {
    HANDLE now;
    BY_HANDLE_FILE_INFORMATION was;
    DWORD attrs;
    FileError e = Open(target, 0, kShareAll, OPEN_EXISTING, &now, &was, &attrs);
    if (e.reason == FILE_SYSTEM && e.sys == ENOENT) return {FILE_REPLACED, 0};
    if (Failed(e)) return e;
    CloseHandle(now);
    bool same = was.dwVolumeSerialNumber == info.dwVolumeSerialNumber &&
                was.nFileIndexHigh == info.nFileIndexHigh &&
                was.nFileIndexLow == info.nFileIndexLow;
    return same ? kOk : FileError{FILE_REPLACED, 0};
}

/* Marks the file h for deletion at its last close (gone) or keeps it. */
static FileError MarkGone(HANDLE h, BOOL gone) {
    FILE_DISPOSITION_INFO disposition = {(BOOLEAN)gone};
    return Check(
        SetFileInformationByHandle(h, FileDispositionInfo, &disposition, sizeof disposition));
}

/* Makes a new file beside target under SideName(tag) with fresh letters,
 * marked for deletion until MarkGone(h, FALSE); *name is its malloc'd name. */
static FileError MakeSide(const char *target, const char *tag, HANDLE *h, char **name) {
    size_t folder = 0;
    for (size_t i = 0; target[i]; i++)
        if (target[i] == '\\' || target[i] == '/' || target[i] == ':') folder = i + 1;
    FileError e = {FILE_SYSTEM, EEXIST};
    for (int attempt = 0; attempt < 10 && e.reason == FILE_SYSTEM && e.sys == EEXIST; attempt++) {
        unsigned int noise[2] = {};
        *name = SideName(target, folder, tag);
        if (!*name) return {FILE_SYSTEM, ENOMEM};
        if (rand_s(&noise[0]) != 0 || rand_s(&noise[1]) != 0) noise[0] = GetTickCount();
        FillNoise(*name, (const unsigned char *)noise);
        BY_HANDLE_FILE_INFORMATION info;
        DWORD attrs;
        e = Open(*name, GENERIC_WRITE | DELETE | WRITE_DAC | FILE_WRITE_ATTRIBUTES,
                 FILE_SHARE_DELETE, CREATE_NEW, h, &info, &attrs);
        if (!Failed(e)) e = MarkGone(*h, TRUE);
        if (!Failed(e)) return e;
        if (*h != INVALID_HANDLE_VALUE) CloseHandle(*h);
        free(*name);
        *name = nullptr;
    }
    return e;
}

/* Closes the side file h, removed unless kept; frees name. */
static void Discard(HANDLE h, char *name, bool keep) {
    if (name) MarkGone(h, keep ? FALSE : TRUE);
    if (name) CloseHandle(h);
    free(name);
}

/* Gives the new file t the old file's access control list and the
 * attributes that a move would lose. */
static FileError KeepMeta(HANDLE old, DWORD attrs, HANDLE t) {
    DWORD n = 0;
    GetKernelObjectSecurity(old, DACL_SECURITY_INFORMATION, nullptr, 0, &n);
    if (!n) return LastError();
    void *sd = malloc(n);
    if (!sd) return {FILE_SYSTEM, ENOMEM};
    FileError e = Check(GetKernelObjectSecurity(old, DACL_SECURITY_INFORMATION, sd, n, &n));
    if (!Failed(e)) e = Check(SetKernelObjectSecurity(t, DACL_SECURITY_INFORMATION, sd));
    free(sd);
    if (Failed(e)) return e;
    FILE_BASIC_INFO basic = {}; /* times 0: left as they are */
    basic.FileAttributes = attrs & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (!basic.FileAttributes) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    return Check(SetFileInformationByHandle(t, FileBasicInfo, &basic, sizeof basic));
}

/* Moves the complete new file t (name) to target, over the old file when
 * replace, only while target still names the old file (info). */
static FileError Move(HANDLE t, const char *name, const char *target, bool replace,
                      const BY_HANDLE_FILE_INFORMATION &info) {
    FileError e = replace ? StillNamed(target, info) : kOk;
    if (Failed(e)) return e;
    e = MarkGone(t, FALSE);
    if (Failed(e)) return e;
    wchar_t *from = Widen(name), *to = from ? Widen(target) : nullptr;
    DWORD how = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    e = Check(to && MoveFileExW(from, to, how));
    free(from);
    free(to);
    return e;
}

/* Writes the bytes to the new file t (name) and moves it to target, over
 * the old file *old (info; closed first: an open file cannot be replaced)
 * or to the absent name. *made: t got the old file's ACL and attributes. */
static FileError FillNew(HANDLE t, const char *name, const char *target, HANDLE *old,
                         const BY_HANDLE_FILE_INFORMATION &info, const void *bytes, size_t size,
                         bool *made) {
    bool replace = *old != INVALID_HANDLE_VALUE;
    FileError e = replace ? KeepMeta(*old, info.dwFileAttributes, t) : kOk;
    if (Failed(e)) return e;
    *made = true;
    e = Rewrite(t, bytes, size);
    if (replace) CloseHandle(*old);
    *old = INVALID_HANDLE_VALUE;
    if (Failed(e)) return e;
    return Move(t, name, target, replace, info);
}

/* The save by a new file (FillNew), which is gone again on a failure. */
static FileError SaveNew(const char *target, HANDLE *old, const BY_HANDLE_FILE_INFORMATION &info,
                         const void *bytes, size_t size, bool *made) {
    HANDLE t;
    char *name = nullptr;
    *made = false;
    FileError e = MakeSide(target, SIDE_NEW, &t, &name);
    if (!Failed(e)) e = FillNew(t, name, target, old, info, bytes, size, made);
    Discard(t, name, false);
    return e;
}

/* A complete, flushed copy of the n old bytes beside target, c (*copy its
 * name), kept once complete; none (*copy null) where the folder refuses it. */
static FileError MakeCopy(const char *target, const char *old, size_t n, HANDLE *c, char **copy) {
    FileError e = MakeSide(target, SIDE_COPY, c, copy);
    if (Failed(e)) return Refused(e) ? kOk : e;
    e = Rewrite(*c, old, n);
    if (Failed(e)) return e;
    return MarkGone(*c, FALSE);
}

/* With the n old bytes in memory: a copy of them first, then the rewrite;
 * the copy stays only when the old bytes could not be put back. */
static FileError RewriteKeeping(HANDLE h, const char *target, const char *old, size_t n,
                                const void *bytes, size_t size) {
    HANDLE c = INVALID_HANDLE_VALUE;
    char *copy = nullptr;
    FileError e = MakeCopy(target, old, n, &c, &copy);
    if (!Failed(e)) e = Rewrite(h, bytes, size);
    bool restored = !Failed(e) || !Failed(Rewrite(h, old, n)); /* the old bytes put back */
    Discard(c, copy, !restored);
    return e;
}

/* Rewrites the old file h (info) in place under a lock on all of it (two
 * savers take turns, a load waits), while target names it and it is short. */
static FileError RewriteInPlace(HANDLE h, const BY_HANDLE_FILE_INFORMATION &info,
                                const char *target, const void *bytes, size_t size) {
    LARGE_INTEGER length;
    FileError e = Lock(h, LOCKFILE_EXCLUSIVE_LOCK);
    if (Failed(e)) return e;
    e = StillNamed(target, info);
    if (Failed(e)) return e;
    e = Check(GetFileSizeEx(h, &length));
    if (Failed(e)) return e;
    if (length.QuadPart > FILE_KEEP_LIMIT) return {FILE_TOO_LARGE, 0};
    char *old = (char *)malloc((size_t)length.QuadPart + 1);
    if (!old) return {FILE_SYSTEM, ENOMEM};
    size_t n = 0;
    e = ReadAll(h, old, (size_t)length.QuadPart + 1, &n);
    if (!Failed(e)) e = RewriteKeeping(h, target, old, n, bytes, size);
    free(old);
    return e;
}

/* Opens the file name to write; a read-only one is refused here for Wine. */
static FileError OpenToWrite(const char *name, HANDLE *h, BY_HANDLE_FILE_INFORMATION *info,
                             DWORD *attrs) {
    FileError e = Open(name, GENERIC_READ | GENERIC_WRITE | READ_CONTROL,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, h, info, attrs);
    if (Failed(e) || !(info->dwFileAttributes & FILE_ATTRIBUTE_READONLY)) return e;
    CloseHandle(*h);
    *h = INVALID_HANDLE_VALUE;
    return {FILE_SYSTEM, EACCES};
}

/* Saves over the old file *h (info): by a new file moved over it, or in
 * place where the folder or a holder refuses that (*h opened again), where
 * the file has other hard links, or where target is a link (keep) to a
 * path unknown. */
static FileError SaveOver(const char *target, bool keep, HANDLE *h,
                          const BY_HANDLE_FILE_INFORMATION &info, const void *bytes, size_t size) {
    FileError e = kOk;
    bool in_place = info.nNumberOfLinks > 1 || keep, made;
    if (!in_place) {
        e = SaveNew(target, h, info, bytes, size, &made);
        in_place = Refused(e);
    }
    if (!in_place) return e;
    BY_HANDLE_FILE_INFORMATION now;
    DWORD attrs;
    if (*h == INVALID_HANDLE_VALUE) e = OpenToWrite(target, h, &now, &attrs);
    if (Failed(e)) return e;
    return RewriteInPlace(*h, info, target, bytes, size);
}

FileResult SaveBytes(const char *name, const void *bytes, size_t size, FileError *err) {
    HANDLE h;
    BY_HANDLE_FILE_INFORMATION info = {};
    DWORD attrs;
    bool made = false;
    *err = OpenToWrite(name, &h, &info, &attrs);
    if (err->reason == FILE_SYSTEM && err->sys == ENOENT && attrs == INVALID_FILE_ATTRIBUTES) {
        *err = SaveNew(name, &h, info, bytes, size, &made);
        return !Failed(*err) ? FILE_DONE : made ? FILE_IO_FAILED : FILE_OPEN_FAILED;
    }
    if (Failed(*err)) return FILE_OPEN_FAILED;
    char *target = FinalPath(h); /* a symbolic link stays; its file gets the bytes */
    bool keep = !target && (attrs & FILE_ATTRIBUTE_REPARSE_POINT);
    *err = SaveOver(target ? target : name, keep, &h, info, bytes, size);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    free(target);
    return Failed(*err) ? FILE_IO_FAILED : FILE_DONE;
}

FileResult LoadBytes(const char *name, void *buf, size_t cap, size_t *got, FileError *err) {
    HANDLE h;
    BY_HANDLE_FILE_INFORMATION info;
    DWORD attrs;
    *got = 0;
    *err = Open(name, GENERIC_READ, kShareAll, OPEN_EXISTING, &h, &info, &attrs);
    if (Failed(*err)) return FILE_OPEN_FAILED;
    *err = Lock(h, 0); /* shared: waits while a save rewrites the file in place */
    if (!Failed(*err)) *err = ReadAll(h, buf, cap, got);
    CloseHandle(h); /* nothing was written through it */
    return Failed(*err) ? FILE_IO_FAILED : FILE_DONE;
}
