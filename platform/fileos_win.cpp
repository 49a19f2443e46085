/* fileos_win.cpp - the steps of fileos.h on Windows. The new file of a save
 * replaces the old one through ReplaceFileW, which keeps the old file's
 * security descriptor, attributes and streams; MoveFileExW where that
 * cannot be used. Names are in the ANSI code page, as main's argv has them,
 * and go to the system as UTF-16. */
#ifdef _WIN32
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0600 /* GetFinalPathNameByHandle, SetFileInformationByHandle */
#elif _WIN32_WINNT < 0x0600
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#endif
#include "fileos.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <windows.h>

#include "fail.h"

/* The errno value that stands for the Windows error code. */
static int MapError(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_CANNOT_MAKE:
        return EACCES;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
        return EINVAL;
    case ERROR_NOT_SAME_DEVICE:
        return EXDEV;
    default:
        return EIO;
    }
}

/* The errno value of the last failed call, never 0. */
static int LastError() {
    return MapError(GetLastError());
}

/* The name, in the ANSI code page, as malloc'd UTF-16; null when it cannot
 * be converted or there is no memory (*err says which). */
static wchar_t *Widen(const char *name, int *err) {
    int n = MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0);
    *err = EINVAL;
    if (n <= 1) return nullptr;
    wchar_t *w = (wchar_t *)malloc((size_t)n * sizeof(wchar_t));
    *err = ENOMEM;
    if (!w) return nullptr;
    if (MultiByteToWideChar(CP_ACP, 0, name, -1, w, n) != n) {
        free(w);
        *err = EINVAL;
        return nullptr;
    }
    *err = 0;
    return w;
}

/* Opens name with CreateFileW: the access, sharing and disposition given.
 * Stores the handle in *h; returns 0 or the reason. */
static int OpenW(const char *name, DWORD access, DWORD share, DWORD disposition, HANDLE *h) {
    int e;
    wchar_t *w = Widen(name, &e);
    if (!w) return e;
    *h = CreateFileW(w, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    e = *h == INVALID_HANDLE_VALUE ? LastError() : 0;
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

/* Opens the existing file name with access (never waiting: a device or a
 * pipe is opened but then refused by its kind), sharing reading and writing
 * but not renaming or deleting, so the name stays while it is open. */
static int OpenExisting(const char *name, DWORD access, OsFile *f, OsId *id) {
    HANDLE h;
    int e = OpenW(name, access | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  OPEN_EXISTING, &h);
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
    if ((access & GENERIC_WRITE) && (attrs & FILE_ATTRIBUTE_READONLY)) {
        CloseHandle(h);
        return EACCES;
    }
    f->handle = (intptr_t)h;
    return 0;
}

int OsOpenWrite(const char *name, OsFile *f, OsId *id) {
    return OpenExisting(name, GENERIC_WRITE, f, id);
}

int OsOpenRead(const char *name, OsFile *f, OsId *id) {
    return OpenExisting(name, GENERIC_READ, f, id);
}

bool OsNameTaken(const char *name) {
    int e;
    wchar_t *w = Widen(name, &e);
    if (!w) return false;
    bool taken = GetFileAttributesW(w) != INVALID_FILE_ATTRIBUTES;
    free(w);
    return taken;
}

/* A malloc'd copy of the n bytes at s, zero-terminated; null without
 * memory. */
static char *CopyOf(const char *s, size_t n) {
    char *p = (char *)malloc(n + 1);
    if (!p) return nullptr;
    memcpy(p, s, n);
    p[n] = '\0';
    return p;
}

int OsTargetPath(const char *name, OsFile f, char **path) {
    int e;
    wchar_t *w = Widen(name, &e);
    if (!w) return e;
    DWORD attrs = GetFileAttributesW(w);
    free(w);
    if (attrs == INVALID_FILE_ATTRIBUTES) return LastError();
    if (!(attrs & FILE_ATTRIBUTE_REPARSE_POINT)) {
        *path = CopyOf(name, strlen(name));
        return *path ? 0 : ENOMEM;
    }
    /* A link: the path of the file the open handle reached. */
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

/* The length of the folder part of path, its last '\' or '/' (or a drive's
 * ':') included; 0 for a bare name. */
static size_t FolderLength(const char *path) {
    size_t n = 0;
    for (size_t i = 0; path[i]; i++)
        if (path[i] == '\\' || path[i] == '/' || path[i] == ':') n = i + 1;
    return n;
}

/* A malloc'd name beside target that shows whose it is:
 * ".<file>.<program>-XXXXXX" with the X replaced by letters and digits that
 * differ from call to call. Null without memory. */
static char *TempName(const char *target) {
    static const char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    static unsigned long long counter;
    size_t folder = FolderLength(target);
    const char *base = target + folder, *program = ProgramName();
    size_t n = folder + 1 + strlen(base) + 1 + strlen(program) + 7;
    char *name = (char *)malloc(n + 1);
    if (!name) return nullptr;
    snprintf(name, n + 1, "%.*s.%s.%s-", (int)folder, target, base, program);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    unsigned long long x = (unsigned long long)now.QuadPart +
                           ((unsigned long long)GetCurrentProcessId() << 32) + ++counter;
    x = x * 6364136223846793005ULL + 1442695040888963407ULL;
    for (size_t i = n - 6; i < n; i++, x /= 36)
        name[i] = digits[x % 36];
    name[n] = '\0';
    return name;
}

int OsMakeTemp(const char *target, OsTemp *t) {
    for (int attempt = 0; attempt < 100; attempt++) {
        char *name = TempName(target);
        if (!name) return ENOMEM;
        HANDLE h;
        int e = OpenW(name, GENERIC_WRITE | DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_DELETE,
                      CREATE_NEW, &h);
        if (e == 0) {
            t->handle = (intptr_t)h;
            t->name = name;
            return IdOf(h, &t->id, nullptr);
        }
        free(name);
        if (e != EEXIST) return e;
    }
    return EEXIST;
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

int OsSameFile(const char *path, const OsId *id, bool *same) {
    HANDLE h;
    int e = OpenW(path, FILE_READ_ATTRIBUTES,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING, &h);
    if (e != 0) return e;
    OsId now = {};
    e = IdOf(h, &now, nullptr);
    CloseHandle(h);
    *same = e == 0 && now.volume == id->volume && now.index == id->index;
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
    int e;
    wchar_t *from = Widen(t->name, &e);
    wchar_t *to = from ? Widen(target, &e) : nullptr;
    if (to) e = MoveFileExW(from, to, flags | MOVEFILE_WRITE_THROUGH) ? 0 : LastError();
    free(from);
    free(to);
    if (e == 0) { /* the name is the target's now: nothing to remove */
        free(t->name);
        t->name = nullptr;
    }
    return e;
}

/* Gives the new file the attributes of the old one that a move would lose
 * and ReplaceFileW keeps. */
static void CopyAttributes(OsTemp *t, const char *target) {
    const DWORD keep = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                       FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    int e;
    wchar_t *from = Widen(target, &e);
    wchar_t *to = from ? Widen(t->name, &e) : nullptr;
    DWORD attrs = to ? GetFileAttributesW(from) : INVALID_FILE_ATTRIBUTES;
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & keep)) SetFileAttributesW(to, attrs & keep);
    free(from);
    free(to);
}

/* The full path of name, as malloc'd UTF-16; null when it cannot be had
 * (*err says why). ReplaceFileW under Wine takes full paths only. */
static wchar_t *FullPath(const char *name, int *err) {
    wchar_t *w = Widen(name, err);
    DWORD n = w ? GetFullPathNameW(w, 0, nullptr, nullptr) : 0;
    wchar_t *full = n ? (wchar_t *)malloc((size_t)n * sizeof(wchar_t)) : nullptr;
    DWORD len = full ? GetFullPathNameW(w, n, full, nullptr) : 0;
    if (w && n == 0)
        *err = LastError();
    else if (w && !full)
        *err = ENOMEM;
    else if (full && (len == 0 || len >= n))
        *err = EINVAL;
    if (*err != 0) {
        free(full);
        full = nullptr;
    }
    free(w);
    return full;
}

int OsReplace(OsTemp *t, const char *target) {
    CloseTemp(t);
    /* ReplaceFileW keeps the attributes itself, but not Wine's. */
    CopyAttributes(t, target);
    int e;
    wchar_t *from = FullPath(t->name, &e);
    wchar_t *to = from ? FullPath(target, &e) : nullptr;
    bool replaced =
        to && ReplaceFileW(to, from, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
    DWORD code = GetLastError();
    free(from);
    free(to);
    if (replaced) {
        free(t->name);
        t->name = nullptr;
        return 0;
    }
    if (e != 0) return e;
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
        OpenW(t->name, DELETE | FILE_READ_ATTRIBUTES,
              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING, &h) == 0 &&
        (IdOf(h, &now, nullptr) != 0 || now.volume != t->id.volume || now.index != t->id.index)) {
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
