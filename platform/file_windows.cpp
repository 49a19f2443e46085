/* file_windows.cpp - the save and the load on Windows. Names are in the ANSI
 * code page, as main's argv has them, and go to the system as UTF-16. */
#if !defined(_WIN32_WINNT) || _WIN32_WINNT < 0x0600
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600 /* GetFinalPathNameByHandle, SetFileInformationByHandle */
#endif
#define _CRT_RAND_S /* rand_s */
#include "file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <windows.h>

/* The reason that stands for the system's last error: EIO where none is listed. */
static int LastError() {
    // clang-format off
    static const struct { DWORD code; int err; } map[] = {
        {ERROR_FILE_NOT_FOUND, ENOENT}, {ERROR_PATH_NOT_FOUND, ENOENT}, {ERROR_BAD_NETPATH, ENOENT},
        {ERROR_ACCESS_DENIED, EACCES}, {ERROR_CANNOT_MAKE, EACCES}, {ERROR_WRITE_PROTECT, EROFS},
        {ERROR_SHARING_VIOLATION, FILE_ERR_IN_USE}, {ERROR_LOCK_VIOLATION, FILE_ERR_IN_USE},
        {ERROR_DISK_FULL, ENOSPC}, {ERROR_HANDLE_DISK_FULL, ENOSPC}, {ERROR_OUTOFMEMORY, ENOMEM},
        {ERROR_TOO_MANY_OPEN_FILES, EMFILE}, {ERROR_NOT_ENOUGH_MEMORY, ENOMEM},
        {ERROR_FILE_EXISTS, EEXIST}, {ERROR_ALREADY_EXISTS, EEXIST}, {ERROR_INVALID_NAME, EINVAL},
        {ERROR_FILENAME_EXCED_RANGE, ENAMETOOLONG}, {ERROR_INVALID_DRIVE, ENOENT}};
    // clang-format on
    DWORD code = GetLastError();
    for (const auto &m : map)
        if (m.code == code) return m.err;
    return EIO;
}

/* The name, UTF-8 as the command line gives it, as malloc'd UTF-16; null
 * without memory or for a name that is not UTF-8. */
static wchar_t *Widen(const char *name) {
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name, -1, nullptr, 0);
    wchar_t *w = n > 1 ? (wchar_t *)malloc((size_t)n * sizeof(wchar_t)) : nullptr;
    if (w && MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name, -1, w, n) == n) return w;
    SetLastError(n > 1 && !w ? ERROR_NOT_ENOUGH_MEMORY : ERROR_INVALID_NAME);
    free(w);
    return nullptr;
}

/* Opens name with CreateFileW. Stores the handle in *h, the identity of the
 * regular file it opened in *info, and the attributes of the name itself in
 * *attrs (INVALID_FILE_ATTRIBUTES when nothing has that name). A folder is
 * refused with EISDIR, a device or a pipe with FILE_ERR_NOT_REGULAR. Returns
 * 0 or the reason. */
static int Open(const char *name, DWORD access, DWORD share, DWORD how, HANDLE *h,
                BY_HANDLE_FILE_INFORMATION *info, DWORD *attrs) {
    wchar_t *w = Widen(name);
    if (!w) return LastError();
    *h = CreateFileW(w, access | FILE_READ_ATTRIBUTES, share, nullptr, how, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
    int e = *h == INVALID_HANDLE_VALUE ? LastError() : 0;
    *attrs = GetFileAttributesW(w);
    free(w);
    if (e == EACCES && *attrs != INVALID_FILE_ATTRIBUTES && (*attrs & FILE_ATTRIBUTE_DIRECTORY))
        return EISDIR;
    if (e == 0 && GetFileType(*h) != FILE_TYPE_DISK) e = FILE_ERR_NOT_REGULAR;
    if (e == 0 && !GetFileInformationByHandle(*h, info)) e = LastError();
    if (e != 0 && *h != INVALID_HANDLE_VALUE) CloseHandle(*h);
    return e;
}

/* Makes h hold exactly the size bytes at p, flushed to the disk. */
static int Rewrite(HANDLE h, const void *p, size_t size) {
    LARGE_INTEGER zero = {};
    DWORD done = 0;
    if (!SetFilePointerEx(h, zero, nullptr, FILE_BEGIN)) return LastError();
    for (size_t at = 0; at < size; at += done) {
        if (!WriteFile(h, (const char *)p + at, (DWORD)(size - at), &done, nullptr))
            return LastError();
        if (done == 0) return EIO;
    }
    if (!SetEndOfFile(h) || !FlushFileBuffers(h)) return LastError();
    return 0;
}

/* Reads up to cap bytes of h from its start into buf; *got is their number. */
static int ReadAll(HANDLE h, void *buf, size_t cap, size_t *got) {
    LARGE_INTEGER zero = {};
    DWORD n = 1;
    if (!SetFilePointerEx(h, zero, nullptr, FILE_BEGIN)) return LastError();
    for (*got = 0; *got < cap && n > 0; *got += n)
        if (!ReadFile(h, (char *)buf + *got, (DWORD)(cap - *got), &n, nullptr)) return LastError();
    return 0;
}

/* Makes a new file beside target under SideName(tag), open for writing and
 * for its removal by Discard; *name is that malloc'd name. */
static int MakeSide(const char *target, const char *tag, HANDLE *h, char **name) {
    size_t folder = 0;
    for (size_t i = 0; target[i]; i++)
        if (target[i] == '\\' || target[i] == '/' || target[i] == ':') folder = i + 1;
    int e = EEXIST;
    BY_HANDLE_FILE_INFORMATION info;
    DWORD attrs;
    for (int attempt = 0; attempt < 10 && e == EEXIST; attempt++) {
        unsigned int noise[2] = {};
        if (!(*name = SideName(target, folder, tag))) return ENOMEM;
        if (rand_s(&noise[0]) != 0 || rand_s(&noise[1]) != 0) e = EIO; /* no system random */
        for (size_t i = 0, n = strlen(*name); i < 6; i++)
            (*name)[n - 6 + i] =
                "abcdefghijklmnopqrstuvwxyz0123456789"[(noise[i / 3] >> (i % 3 * 8) & 0xFF) % 36];
        if (e == EEXIST)
            e = Open(*name, GENERIC_WRITE | DELETE | WRITE_DAC | FILE_WRITE_ATTRIBUTES,
                     FILE_SHARE_DELETE, CREATE_NEW, h, &info, &attrs);
        if (e != 0) free(*name);
        if (e != 0) *name = nullptr;
    }
    return e;
}

/* Removes the side file h (when remove; one that cannot be removed stays as
 * a stranded file) and closes it; frees name. */
static void Discard(HANDLE h, char *name, bool remove) {
    FILE_DISPOSITION_INFO gone = {TRUE}; /* removed by its handle, not its name */
    if (remove) SetFileInformationByHandle(h, FileDispositionInfo, &gone, sizeof gone);
    CloseHandle(h);
    free(name);
}

/* Gives the new file t the old file's access control list and the
 * attributes that a move would lose. */
static int KeepMeta(HANDLE old, DWORD attrs, HANDLE t) {
    DWORD n = 0;
    GetKernelObjectSecurity(old, DACL_SECURITY_INFORMATION, nullptr, 0, &n);
    void *sd = n ? malloc(n) : nullptr;
    int e = !n ? LastError() : !sd ? ENOMEM : 0;
    if (e == 0 && (!GetKernelObjectSecurity(old, DACL_SECURITY_INFORMATION, sd, n, &n) ||
                   !SetKernelObjectSecurity(t, DACL_SECURITY_INFORMATION, sd)))
        e = LastError();
    free(sd);
    FILE_BASIC_INFO basic = {}; /* times 0: left as they are */
    basic.FileAttributes = attrs & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (!basic.FileAttributes) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (e == 0 && !SetFileInformationByHandle(t, FileBasicInfo, &basic, sizeof basic))
        e = LastError();
    return e;
}

/* Writes the bytes to a new file and moves it to target in one step: over
 * the old file *old (info) when there is one, which is closed first, else
 * to the absent name. *made tells whether the new file was made and given
 * the old one's ACL and attributes (*old is then still open when it is
 * not). Returns 0 or the reason; the new file is gone again on a failure. */
static int SaveNew(const char *target, HANDLE *old, const BY_HANDLE_FILE_INFORMATION &info,
                   const void *bytes, size_t size, bool *made) {
    HANDLE t, now;
    char *name = nullptr;
    bool existed = *old != INVALID_HANDLE_VALUE;
    int e = MakeSide(target, SIDE_NEW, &t, &name);
    if (e == 0 && existed) e = KeepMeta(*old, info.dwFileAttributes, t);
    if (!(*made = e == 0)) {
        if (name) Discard(t, name, true);
        return e;
    }
    e = Rewrite(t, bytes, size);
    if (existed) CloseHandle(*old); /* an open old file cannot be replaced */
    *old = INVALID_HANDLE_VALUE;
    BY_HANDLE_FILE_INFORMATION was = info;
    DWORD attrs;
    const DWORD all = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    if (e == 0 && existed && (e = Open(target, 0, all, OPEN_EXISTING, &now, &was, &attrs)) == 0) {
        CloseHandle(now);
        if (was.dwVolumeSerialNumber != info.dwVolumeSerialNumber ||
            was.nFileIndexHigh != info.nFileIndexHigh || was.nFileIndexLow != info.nFileIndexLow)
            e = FILE_ERR_CHANGED;
    }
    wchar_t *from = Widen(name), *to = from ? Widen(target) : nullptr;
    DWORD how = MOVEFILE_WRITE_THROUGH | (existed ? MOVEFILE_REPLACE_EXISTING : 0);
    if (e == 0 && (!to || !MoveFileExW(from, to, how))) e = LastError();
    free(from);
    free(to);
    Discard(t, name, e != 0);
    return e;
}

/* Rewrites the old file h in place under a lock on the whole file, so that
 * two savers take turns: a flushed copy of the old bytes goes beside it
 * first where the folder allows one, and the old bytes are put back from
 * memory on any failure; the copy goes once the old or the new bytes are
 * whole in the file. Closes h. */
static int SaveInPlace(HANDLE h, const char *target, const void *bytes, size_t size) {
    OVERLAPPED whole = {};
    LARGE_INTEGER length;
    HANDLE c = INVALID_HANDLE_VALUE;
    char *old = nullptr, *copy = nullptr;
    size_t n = 0;
    int e = LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole) ? 0 : LastError();
    if (e == 0 && !GetFileSizeEx(h, &length)) e = LastError();
    if (e == 0 && length.QuadPart > FILE_KEEP_LIMIT) e = EFBIG;
    if (e == 0 && !(old = (char *)malloc((size_t)length.QuadPart + 1))) e = ENOMEM;
    if (e == 0) e = ReadAll(h, old, (size_t)length.QuadPart + 1, &n);
    if (e == 0) {
        int m = MakeSide(target, SIDE_COPY, &c, &copy);
        if (m == 0) m = Rewrite(c, old, n);
        if (m != 0 && (copy || (m != EACCES && m != EROFS))) e = m; /* no copy where refused */
    }
    bool restored = true;
    if (e == 0 && (e = Rewrite(h, bytes, size)) != 0) restored = Rewrite(h, old, n) == 0;
    if (!CloseHandle(h) && e == 0) {
        e = LastError();
        restored = false; /* the copy keeps the old bytes whole */
    }
    if (copy) Discard(c, copy, restored);
    free(old);
    return e;
}

FileResult SaveBytes(const char *name, const void *bytes, size_t size, int *err) {
    HANDLE h = INVALID_HANDLE_VALUE;
    BY_HANDLE_FILE_INFORMATION info = {};
    DWORD attrs;
    int e = Open(name, GENERIC_READ | GENERIC_WRITE | READ_CONTROL,
                 FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, &h, &info, &attrs);
    /* Windows refuses to open a read-only file for writing; Wine running as
     * root does not, so the attribute is checked here too. */
    if (e == 0 && (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY)) {
        CloseHandle(h);
        e = EACCES;
    }
    bool absent = e == ENOENT && attrs == INVALID_FILE_ATTRIBUTES;
    if (e != 0 && !absent) {
        *err = e;
        return FILE_OPEN_FAILED;
    }
    if (absent) h = INVALID_HANDLE_VALUE;
    /* A symbolic link (a reparse point): the path of the file it leads to. */
    char *target = nullptr;
    DWORD len = !absent && (attrs & FILE_ATTRIBUTE_REPARSE_POINT)
                    ? GetFinalPathNameByHandleA(h, nullptr, 0, FILE_NAME_NORMALIZED)
                    : 1;
    e = len == 0 ? LastError() : len > 1 && !(target = (char *)malloc(len)) ? ENOMEM : 0;
    if (target && GetFinalPathNameByHandleA(h, target, len, FILE_NAME_NORMALIZED) + 1 != len)
        e = LastError();
    const char *to = target ? target : name;
    bool made = false, in_place = e == 0 && !absent && info.nNumberOfLinks > 1;
    if (e == 0 && !in_place) {
        e = SaveNew(to, &h, info, bytes, size, &made);
        in_place = !absent && !made && (e == EACCES || e == EROFS);
    }
    if (in_place)
        e = SaveInPlace(h, to, bytes, size);
    else if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
    free(target);
    *err = e;
    return e == 0 ? FILE_DONE : absent && !made ? FILE_OPEN_FAILED : FILE_IO_FAILED;
}

FileResult LoadBytes(const char *name, void *buf, size_t cap, size_t *got, int *err) {
    HANDLE h;
    BY_HANDLE_FILE_INFORMATION info;
    DWORD attrs;
    *err = Open(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, &h, &info,
                &attrs);
    if (*err != 0) return FILE_OPEN_FAILED;
    *err = ReadAll(h, buf, cap, got);
    CloseHandle(h); /* nothing was written through it */
    return *err == 0 ? FILE_DONE : FILE_IO_FAILED;
}
