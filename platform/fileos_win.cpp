/* fileos_win.cpp - the steps of fileos.h on Windows. The new file of a save
 * replaces the old one through ReplaceFileW, which keeps the old file's
 * security descriptor, attributes and streams; MoveFileExW where that
 * cannot be used. Names are in the ANSI code page, as main's argv has them,
 * and go to the system as UTF-16. */
#ifdef _WIN32
#if !defined(_WIN32_WINNT) || _WIN32_WINNT < 0x0600
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600 /* GetFinalPathNameByHandle, SetFileInformationByHandle */
#endif
#include "fileos.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <windows.h>

/* The errno value that stands for the Windows error code: EIO where none
 * is listed. */
static int MapError(DWORD code) {
    // clang-format off
    static const struct { DWORD code; int err; } map[] = {
        {ERROR_FILE_NOT_FOUND, ENOENT}, {ERROR_PATH_NOT_FOUND, ENOENT},
        {ERROR_INVALID_DRIVE, ENOENT}, {ERROR_BAD_NETPATH, ENOENT},
        {ERROR_ACCESS_DENIED, EACCES}, {ERROR_SHARING_VIOLATION, EACCES},
        {ERROR_LOCK_VIOLATION, EACCES}, {ERROR_CANNOT_MAKE, EACCES},
        {ERROR_WRITE_PROTECT, EROFS}, {ERROR_DISK_FULL, ENOSPC}, {ERROR_HANDLE_DISK_FULL, ENOSPC},
        {ERROR_TOO_MANY_OPEN_FILES, EMFILE},
        {ERROR_NOT_ENOUGH_MEMORY, ENOMEM}, {ERROR_OUTOFMEMORY, ENOMEM},
        {ERROR_FILE_EXISTS, EEXIST}, {ERROR_ALREADY_EXISTS, EEXIST},
        {ERROR_FILENAME_EXCED_RANGE, ENAMETOOLONG},
        {ERROR_INVALID_NAME, EINVAL}, {ERROR_BAD_PATHNAME, EINVAL},
        {ERROR_NOT_SAME_DEVICE, EXDEV}};
    // clang-format on
    for (const auto &m : map)
        if (m.code == code) return m.err;
    return EIO;
}

/* The errno value of the last failed call, never 0. */
static int LastError() {
    return MapError(GetLastError());
}

/* Sharing that lets every other program go on with the file. */
static const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

/* The name, in the ANSI code page, as malloc'd UTF-16; null when it cannot
 * be converted (the last error is then ERROR_INVALID_NAME) or there is no
 * memory (ERROR_NOT_ENOUGH_MEMORY). */
static wchar_t *Widen(const char *name) {
    int n = MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0);
    wchar_t *w = n > 1 ? (wchar_t *)malloc((size_t)n * sizeof(wchar_t)) : nullptr;
    if (w && MultiByteToWideChar(CP_ACP, 0, name, -1, w, n) == n) return w;
    SetLastError(n > 1 && !w ? ERROR_NOT_ENOUGH_MEMORY : ERROR_INVALID_NAME);
    free(w);
    return nullptr;
}

/* The attributes of name, or INVALID_FILE_ATTRIBUTES with the last error
 * saying why. */
static DWORD AttributesOf(const char *name) {
    wchar_t *w = Widen(name);
    DWORD attrs = w ? GetFileAttributesW(w) : INVALID_FILE_ATTRIBUTES;
    free(w);
    return attrs;
}

/* Opens name with CreateFileW: the access, sharing and disposition given.
 * Stores the handle in *h; returns 0 or the reason. */
static int OpenW(const char *name, DWORD access, DWORD share, DWORD disposition, HANDLE *h) {
    wchar_t *w = Widen(name);
    if (!w) return LastError();
    *h = CreateFileW(w, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    int e = *h == INVALID_HANDLE_VALUE ? LastError() : 0;
    /* A folder refuses to be opened as a file: say that it is one. */
    DWORD attrs = e == EACCES ? GetFileAttributesW(w) : INVALID_FILE_ATTRIBUTES;
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY)) e = EISDIR;
    free(w);
    return e;
}

/* The identity of the open file h, and its attributes in *attrs. */
static int IdOf(HANDLE h, OsId *id, DWORD *attrs) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(h, &info)) return LastError();
    id->volume = info.dwVolumeSerialNumber;
    id->index = (unsigned long long)info.nFileIndexHigh << 32 | info.nFileIndexLow;
    id->links = info.nNumberOfLinks;
    id->kind = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? OS_FOLDER : OS_REGULAR;
    if (attrs) *attrs = info.dwFileAttributes;
    return 0;
}

/* A device or a pipe is opened but then refused by its kind. Reading and
 * writing are shared, renaming and deleting are not, so the name stays
 * while the file is open. */
int OsOpen(const char *name, bool write, OsFile *f, OsId *id) {
    HANDLE h;
    DWORD access = (write ? GENERIC_WRITE : GENERIC_READ) | FILE_READ_ATTRIBUTES;
    int e = OpenW(name, access, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, &h);
    if (e != 0) return e;
    DWORD attrs = 0;
    if (GetFileType(h) != FILE_TYPE_DISK) {
        *id = OsId{0, 0, 1, OS_OTHER};
    } else if ((e = IdOf(h, id, &attrs)) != 0) {
        CloseHandle(h);
        return e;
    }
    /* Windows refuses to open a read-only file for writing; Wine running as
     * root does not, so the attribute is checked here too. */
    if (write && (attrs & FILE_ATTRIBUTE_READONLY)) {
        CloseHandle(h);
        return EACCES;
    }
    f->handle = (intptr_t)h;
    return 0;
}

bool OsNameTaken(const char *name) {
    return AttributesOf(name) != INVALID_FILE_ATTRIBUTES;
}

/* A link is a reparse point; its target is the path of the file that the
 * open handle reached. */
int OsLinkTarget(const char *name, OsFile f, char **path) {
    DWORD attrs = AttributesOf(name);
    *path = nullptr;
    if (attrs == INVALID_FILE_ATTRIBUTES) return LastError();
    if (!(attrs & FILE_ATTRIBUTE_REPARSE_POINT)) return 0;
    HANDLE h = (HANDLE)f.handle;
    DWORD n = GetFinalPathNameByHandleA(h, nullptr, 0, FILE_NAME_NORMALIZED);
    if (n == 0) return LastError();
    *path = (char *)malloc(n);
    if (!*path) return ENOMEM;
    DWORD len = GetFinalPathNameByHandleA(h, *path, n, FILE_NAME_NORMALIZED);
    if (len == 0 || len >= n) {
        free(*path);
        *path = nullptr;
        return len == 0 ? LastError() : EIO;
    }
    return 0;
}

/* The separators are '\', '/' and a drive's ':'. */
size_t OsFolderLength(const char *path) {
    size_t n = 0;
    for (size_t i = 0; path[i]; i++)
        if (path[i] == '\\' || path[i] == '/' || path[i] == ':') n = i + 1;
    return n;
}

unsigned long long OsNoise() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (unsigned long long)now.QuadPart + ((unsigned long long)GetCurrentProcessId() << 32);
}

int OsMakeUnnamed(const char *, OsTemp *) {
    return ENOTSUP; /* every file on Windows has a name */
}

int OsMakeNamed(OsTemp *t, const char *name) {
    HANDLE h;
    int e = OpenW(name, GENERIC_WRITE | DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_DELETE,
                  CREATE_NEW, &h);
    if (e != 0) return e;
    t->handle = (intptr_t)h;
    return IdOf(h, &t->id, nullptr);
}

int OsLinkUnnamed(OsTemp *, const char *) {
    return ENOTSUP; /* never called: OsMakeUnnamed makes no such file */
}

int OsKeepMeta(OsFile, OsTemp *) {
    return 0; /* ReplaceFileW gives the new file what the old one has */
}

/* Writes all size bytes at p to h. */
static int WriteAll(HANDLE h, const void *p, size_t size) {
    const unsigned char *b = (const unsigned char *)p;
    while (size > 0) {
        DWORD chunk = size > 0x10000000 ? 0x10000000 : (DWORD)size, done = 0;
        if (!WriteFile(h, b, chunk, &done, nullptr)) return LastError();
        if (done == 0) return EIO;
        b += done;
        size -= done;
    }
    return 0;
}

int OsWriteTemp(OsTemp *t, const void *bytes, size_t size) {
    HANDLE h = (HANDLE)t->handle;
    int e = WriteAll(h, bytes, size);
    if (e == 0 && !FlushFileBuffers(h)) e = LastError();
    return e;
}

int OsRewrite(OsFile f, const void *bytes, size_t size) {
    HANDLE h = (HANDLE)f.handle;
    LARGE_INTEGER zero = {};
    if (!SetFilePointerEx(h, zero, nullptr, FILE_BEGIN)) return LastError();
    int e = WriteAll(h, bytes, size);
    if (e == 0 && !SetEndOfFile(h)) e = LastError();
    if (e == 0 && !FlushFileBuffers(h)) e = LastError();
    return e;
}

int OsIdOf(const char *path, OsId *id) {
    HANDLE h;
    int e = OpenW(path, FILE_READ_ATTRIBUTES, kShareAll, OPEN_EXISTING, &h);
    if (e != 0) return e;
    e = IdOf(h, id, nullptr);
    CloseHandle(h);
    return e;
}

/* Closes the new file's handle: Windows moves only closed files. */
static void CloseTemp(OsTemp *t) {
    if (t->handle != OS_NO_FILE) CloseHandle((HANDLE)t->handle);
    t->handle = OS_NO_FILE;
}

/* Moves the new file t to target, over it when flags say so, writing
 * through to the disk. */
static int MoveTemp(OsTemp *t, const char *target, DWORD flags) {
    wchar_t *from = Widen(t->name), *to = from ? Widen(target) : nullptr;
    bool moved = to && MoveFileExW(from, to, flags | MOVEFILE_WRITE_THROUGH);
    int e = moved ? 0 : LastError();
    free(from);
    free(to);
    return e;
}

/* Gives the new file the attributes of the old one that a move would lose
 * and ReplaceFileW keeps. */
static void CopyAttributes(OsTemp *t, const char *target) {
    const DWORD keep = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                       FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    wchar_t *from = Widen(target), *to = from ? Widen(t->name) : nullptr;
    DWORD attrs = to ? GetFileAttributesW(from) : INVALID_FILE_ATTRIBUTES;
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & keep)) SetFileAttributesW(to, attrs & keep);
    free(from);
    free(to);
}

/* The full path of name, as malloc'd UTF-16; null when it cannot be had
 * (the last error says why). ReplaceFileW under Wine takes full paths
 * only. */
static wchar_t *FullPath(const char *name) {
    wchar_t *w = Widen(name);
    DWORD n = w ? GetFullPathNameW(w, 0, nullptr, nullptr) : 0;
    wchar_t *full = n ? (wchar_t *)malloc((size_t)n * sizeof(wchar_t)) : nullptr;
    DWORD len = full ? GetFullPathNameW(w, n, full, nullptr) : 0;
    free(w);
    if (n && !full) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    if (full && (len == 0 || len >= n)) {
        free(full);
        full = nullptr;
        SetLastError(ERROR_INVALID_NAME);
    }
    return full;
}

int OsReplace(OsTemp *t, const char *target) {
    CloseTemp(t);
    /* ReplaceFileW keeps the attributes itself, but not Wine's. */
    CopyAttributes(t, target);
    wchar_t *from = FullPath(t->name), *to = from ? FullPath(target) : nullptr;
    bool replaced =
        to && ReplaceFileW(to, from, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
    DWORD code = GetLastError();
    free(from);
    free(to);
    if (replaced) return 0;
    if (!to) return MapError(code);
    if (code == ERROR_FILE_NOT_FOUND) return ENOENT; /* the old file went meanwhile */
    /* ReplaceFileW cannot be used here (a file system or a sharing that
     * refuses it): a move. */
    return MoveTemp(t, target, MOVEFILE_REPLACE_EXISTING);
}

int OsPlaceNew(OsTemp *t, const char *target) {
    CloseTemp(t);
    return MoveTemp(t, target, 0); /* fails with EEXIST rather than replace */
}

void OsTempDiscard(OsTemp *t) {
    HANDLE h = (HANDLE)t->handle;
    OsId now = {};
    /* Reopened by name only when it is still the new file. */
    if (t->name && h == (HANDLE)OS_NO_FILE &&
        OpenW(t->name, DELETE | FILE_READ_ATTRIBUTES, kShareAll, OPEN_EXISTING, &h) == 0 &&
        (IdOf(h, &now, nullptr) != 0 || !OsSameId(now, t->id))) {
        CloseHandle(h);
        h = (HANDLE)OS_NO_FILE;
    }
    if (t->name && h != (HANDLE)OS_NO_FILE) {
        FILE_DISPOSITION_INFO gone = {TRUE}; /* removed by its handle, not its name */
        SetFileInformationByHandle(h, FileDispositionInfo, &gone, sizeof gone);
    }
    if (h != (HANDLE)OS_NO_FILE) CloseHandle(h);
    t->handle = OS_NO_FILE;
    free(t->name);
    t->name = nullptr;
}

void OsSyncFolder(const char *) {
    /* The moves wrote through; Windows has no folder to flush. */
}

int OsRead(OsFile f, void *buf, size_t cap, size_t *got) {
    unsigned char *p = (unsigned char *)buf;
    size_t size = 0;
    while (size < cap) {
        DWORD want = cap - size > 0x10000000 ? 0x10000000 : (DWORD)(cap - size), n = 0;
        if (!ReadFile((HANDLE)f.handle, p + size, want, &n, nullptr)) return LastError();
        if (n == 0) break;
        size += n;
    }
    *got = size;
    return 0;
}

int OsClose(OsFile *f) {
    if (f->handle == OS_NO_FILE) return 0;
    bool ok = CloseHandle((HANDLE)f->handle);
    f->handle = OS_NO_FILE;
    return ok ? 0 : LastError();
}

void OsNoSizeSignal() {}

#endif
