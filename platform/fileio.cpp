/* fileio.cpp - see fileio.h. */
#include "fileio.h"

#include <string>

#ifdef _WIN32
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0600 /* GetFinalPathNameByHandleW */
#elif _WIN32_WINNT < 0x0600
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#endif
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

/* How a save goes on once the data file is open and known to be regular. */
enum SaveWay {
    SAVE_REPLACED,      /* a temporary file was renamed over the target */
    SAVE_IN_PLACE,      /* no faithful temporary file: rewrite the open file */
    SAVE_REPLACE_FAILED /* the temporary file failed; it is gone again */
};

#ifndef _WIN32

/* ---- POSIX -------------------------------------------------------------- */

/* Writes all size bytes at p to fd, going on after partial writes and
 * interruptions. Returns true when every byte was written. */
static bool WriteAll(int fd, const unsigned char *p, size_t size) {
    while (size > 0) {
        ssize_t n = write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= (size_t)n;
    }
    return true;
}

/* True when a and b describe the same file. */
static bool SameFile(const struct stat &a, const struct stat &b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

/* Opens name for writing without truncating it, without blocking and
 * without becoming the controlling terminal; creates it exclusively (mode
 * 0666 less the umask) when it is absent and sets *created. A name that
 * keeps being absent and present at once (a dangling symbolic link) is
 * refused rather than followed. Returns the descriptor, or -1. */
static int OpenTarget(const char *name, bool *created) {
    const int flags = O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    for (int attempt = 0; attempt < 2; attempt++) {
        int fd = open(name, flags);
        if (fd >= 0 || errno != ENOENT) return fd;
        fd = open(name, flags | O_CREAT | O_EXCL, 0666);
        if (fd >= 0) {
            *created = true;
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    return -1;
}

/* Opens name for reading without blocking. Returns the descriptor of a
 * regular file, or -1. */
static int OpenForReading(const char *name) {
    int fd = open(name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return -1;
    }
    return fd;
}

/* The folder part of path: "." for a bare name, "/" for a name in the root
 * folder. */
static std::string FolderOf(const std::string &path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

/* Flushes the folder's entries (a rename) to the disk. A folder that cannot
 * be opened for reading (search and write rights only) or a file system that
 * cannot sync folders leaves nothing to do; true then, false only when the
 * sync itself fails. */
static bool SyncFolder(const std::string &folder) {
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return true;
    bool ok = fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
    close(fd);
    return ok;
}

/* The path of the file a save must replace: name itself, or for a symbolic
 * link the file it finally leads to. Empty when that cannot be found. */
static std::string RealTarget(const char *name) {
    struct stat lst;
    if (lstat(name, &lst) != 0) return "";
    if (!S_ISLNK(lst.st_mode)) return name;
    char *real = realpath(name, nullptr);
    if (!real) return "";
    std::string target = real;
    free(real);
    return target;
}

/* Gives the temporary file tfd the owner, group and permission bits of the
 * old file st. Returns false when it cannot (a file of another user, a group
 * the program is not in). */
static bool KeepIdentity(int tfd, const struct stat &st) {
    struct stat tst;
    if (fstat(tfd, &tst) != 0) return false;
    if ((tst.st_uid != st.st_uid || tst.st_gid != st.st_gid) &&
        fchown(tfd, st.st_uid, st.st_gid) != 0)
        return false;
    return fchmod(tfd, st.st_mode & 07777) == 0;
}

/* Writes the bytes to a new temporary file made exclusively beside target
 * (never a fixed name, never through a link), with the old file's identity
 * st, syncs it, renames it over target and syncs the folder. SAVE_IN_PLACE
 * when no such file can be made (nothing left behind), unless the disk is
 * full; SAVE_REPLACE_FAILED when that or a later step fails (the temporary
 * file removed, target untouched). */
static SaveWay ReplaceBeside(const std::string &target, const struct stat &st,
                             const unsigned char *bytes, size_t size) {
    std::string name = target + ".XXXXXX";
    int tfd = mkstemp(&name[0]);
    if (tfd < 0) /* a full disk would fail the rewrite in place too */
        return errno == ENOSPC || errno == EDQUOT || errno == EIO ? SAVE_REPLACE_FAILED
                                                                  : SAVE_IN_PLACE;
    if (!KeepIdentity(tfd, st)) {
        close(tfd);
        unlink(name.c_str());
        return SAVE_IN_PLACE;
    }
    bool ok = WriteAll(tfd, bytes, size);
    ok = ok && fsync(tfd) == 0;
    ok = close(tfd) == 0 && ok; /* closed whatever happened before */
    /* The target must still be the file the save opened and checked. */
    struct stat now;
    ok = ok && stat(target.c_str(), &now) == 0 && SameFile(now, st);
    ok = ok && rename(name.c_str(), target.c_str()) == 0;
    if (!ok) {
        unlink(name.c_str());
        return SAVE_REPLACE_FAILED;
    }
    return SyncFolder(FolderOf(target)) ? SAVE_REPLACED : SAVE_REPLACE_FAILED;
}

/* Rewrites the open file fd with the bytes: writes them over the old ones,
 * cuts what is left beyond them, syncs. Returns true when all of it worked. */
static bool WriteInPlace(int fd, const unsigned char *bytes, size_t size) {
    if (lseek(fd, 0, SEEK_SET) != 0) return false;
    return WriteAll(fd, bytes, size) && ftruncate(fd, (off_t)size) == 0 && fsync(fd) == 0;
}

FileResult SaveBytes(const char *name, const void *bytes, size_t size) {
#ifdef SIGXFSZ
    signal(SIGXFSZ, SIG_IGN); /* a file-size limit fails the write instead */
#endif
    const unsigned char *p = (const unsigned char *)bytes;
    bool created = false;
    int fd = OpenTarget(name, &created);
    if (fd < 0) return FILE_OPEN_FAILED;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return FILE_OPEN_FAILED;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);

    /* Renaming a new file over one with other hard links would split them;
     * such a file, like one whose target cannot be found, is kept in place. */
    std::string target = st.st_nlink == 1 ? RealTarget(name) : "";
    SaveWay way = target.empty() ? SAVE_IN_PLACE : ReplaceBeside(target, st, p, size);
    bool ok = way == SAVE_REPLACED || (way == SAVE_IN_PLACE && WriteInPlace(fd, p, size));
    ok = close(fd) == 0 && ok;

    struct stat now; /* remove a file this save made, if it is still there */
    if (!ok && created && lstat(name, &now) == 0 && SameFile(now, st)) unlink(name);
    return ok ? FILE_DONE : FILE_IO_FAILED;
}

FileResult LoadBytes(const char *name, void *buf, size_t cap, size_t *got) {
    int fd = OpenForReading(name);
    if (fd < 0) return FILE_OPEN_FAILED;
    unsigned char *p = (unsigned char *)buf;
    size_t size = 0;
    bool ok = true;
    while (size < cap) {
        ssize_t n = read(fd, p + size, cap - size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        size += (size_t)n;
    }
    close(fd);
    if (!ok) return FILE_IO_FAILED;
    *got = size;
    return FILE_DONE;
}

#else

/* ---- Windows ------------------------------------------------------------ */

/* The name, in the ANSI code page as fopen and main's argv take it, in
 * UTF-16. Empty when it cannot be converted. */
static std::wstring Widen(const char *name) {
    int n = MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0);
    if (n <= 1) return L"";
    std::wstring w((size_t)n, L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, name, -1, &w[0], n) != n) return L"";
    w.resize((size_t)n - 1);
    return w;
}

/* Writes all size bytes at p to h. Returns true when every byte was
 * written. */
static bool WriteAll(HANDLE h, const unsigned char *p, size_t size) {
    while (size > 0) {
        DWORD chunk = size > 0x10000000 ? 0x10000000 : (DWORD)size, done = 0;
        if (!WriteFile(h, p, chunk, &done, nullptr) || done == 0) return false;
        p += done;
        size -= done;
    }
    return true;
}

/* Opens an existing file for the access given, sharing reading and writing
 * but not renaming or deleting, so the name stays while the handle is held.
 * disposition CREATE_NEW makes the file exclusively instead. */
static HANDLE Open(const std::wstring &name, DWORD access, DWORD disposition,
                   DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    return CreateFileW(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       disposition, attributes, nullptr);
}

/* True when h is a file on a disk: not a folder, console, pipe or device
 * (names such as NUL or CON). Its information goes to *info. */
static bool IsRegular(HANDLE h, BY_HANDLE_FILE_INFORMATION *info) {
    return GetFileType(h) == FILE_TYPE_DISK && GetFileInformationByHandle(h, info) &&
           !(info->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

/* Opens name for writing without truncating it; creates it exclusively
 * when absent and sets *created. Returns the handle, or
 * INVALID_HANDLE_VALUE. */
static HANDLE OpenTarget(const std::wstring &name, bool *created) {
    const DWORD access = GENERIC_WRITE | FILE_READ_ATTRIBUTES;
    for (int attempt = 0; attempt < 2; attempt++) {
        HANDLE h = Open(name, access, OPEN_EXISTING);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_NOT_FOUND) return h;
        h = Open(name, access, CREATE_NEW);
        if (h != INVALID_HANDLE_VALUE) {
            *created = true;
            return h;
        }
        DWORD err = GetLastError();
        if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) break;
    }
    return INVALID_HANDLE_VALUE;
}

/* The path a save must replace: name, or for a symbolic link or other
 * reparse point the final path of the open file h. Empty when unknown. */
static std::wstring RealTarget(const std::wstring &name, HANDLE h) {
    DWORD attrs = GetFileAttributesW(name.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) return L"";
    if (!(attrs & FILE_ATTRIBUTE_REPARSE_POINT)) return name;
    DWORD n = GetFinalPathNameByHandleW(h, nullptr, 0, FILE_NAME_NORMALIZED);
    if (n == 0) return L"";
    std::wstring path((size_t)n, L'\0');
    DWORD len = GetFinalPathNameByHandleW(h, &path[0], n, FILE_NAME_NORMALIZED);
    if (len == 0 || len >= n) return L"";
    path.resize(len);
    return path;
}

/* Makes a new file named target plus a unique suffix (".XXXXXX" of letters
 * and digits), exclusively, with the attributes given. Stores its name in
 * *name. Returns the handle, or INVALID_HANDLE_VALUE when none can be made. */
static HANDLE CreateUnique(const std::wstring &target, DWORD attributes, std::wstring *name) {
    static const wchar_t digits[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
    static unsigned long long counter;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    unsigned long long seed =
        (unsigned long long)now.QuadPart ^ ((unsigned long long)GetCurrentProcessId() << 32);
    for (int attempt = 0; attempt < 100; attempt++) {
        unsigned long long x = (seed + ++counter) * 6364136223846793005ULL + 1442695040888963407ULL;
        *name = target + L".";
        for (int i = 0; i < 6; i++, x /= 36)
            name->push_back(digits[x % 36]);
        HANDLE h = Open(*name, GENERIC_WRITE, CREATE_NEW, attributes);
        if (h != INVALID_HANDLE_VALUE) return h;
        DWORD err = GetLastError();
        if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) break;
    }
    return INVALID_HANDLE_VALUE;
}

/* Writes the bytes to a new temporary file beside target, with the old
 * file's attributes (info), flushes it, closes the data file's handle *h
 * (Windows will not rename over an open file) and moves the temporary file
 * over target, writing through. SAVE_IN_PLACE when no temporary file can be
 * made (*h still open), unless the disk is full; SAVE_REPLACE_FAILED when
 * that or a later step fails (the temporary file removed, target untouched). */
static SaveWay ReplaceBeside(const std::wstring &target, const BY_HANDLE_FILE_INFORMATION &info,
                             HANDLE *h, const unsigned char *bytes, size_t size) {
    DWORD keep =
        info.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                 FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    std::wstring name;
    HANDLE t = CreateUnique(target, keep ? keep : FILE_ATTRIBUTE_NORMAL, &name);
    if (t == INVALID_HANDLE_VALUE) /* a full disk would fail in place too */
        return GetLastError() == ERROR_DISK_FULL ? SAVE_REPLACE_FAILED : SAVE_IN_PLACE;
    bool ok = WriteAll(t, bytes, size) && FlushFileBuffers(t);
    ok = CloseHandle(t) && ok;
    CloseHandle(*h);
    *h = INVALID_HANDLE_VALUE;
    ok = ok && MoveFileExW(name.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (ok) return SAVE_REPLACED;
    DeleteFileW(name.c_str());
    return SAVE_REPLACE_FAILED;
}

/* Rewrites the open file h with the bytes: writes them over the old ones,
 * cuts what is left beyond them, flushes. Returns true when all of it
 * worked. */
static bool WriteInPlace(HANDLE h, const unsigned char *bytes, size_t size) {
    LARGE_INTEGER zero = {};
    return SetFilePointerEx(h, zero, nullptr, FILE_BEGIN) && WriteAll(h, bytes, size) &&
           SetEndOfFile(h) && FlushFileBuffers(h);
}

FileResult SaveBytes(const char *name, const void *bytes, size_t size) {
    const unsigned char *p = (const unsigned char *)bytes;
    std::wstring wname = Widen(name);
    bool created = false;
    HANDLE h = wname.empty() ? INVALID_HANDLE_VALUE : OpenTarget(wname, &created);
    if (h == INVALID_HANDLE_VALUE) return FILE_OPEN_FAILED;
    /* Windows refuses to open a read-only file for writing; Wine running as
     * root does not, so the attribute is checked here too. */
    BY_HANDLE_FILE_INFORMATION info;
    if (!IsRegular(h, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY)) {
        CloseHandle(h);
        return FILE_OPEN_FAILED;
    }

    /* A file with other hard links, or whose target cannot be found, is
     * rewritten in place: a new file renamed over it would split it. */
    std::wstring target = info.nNumberOfLinks == 1 ? RealTarget(wname, h) : L"";
    SaveWay way = target.empty() ? SAVE_IN_PLACE : ReplaceBeside(target, info, &h, p, size);
    bool ok = way == SAVE_REPLACED || (way == SAVE_IN_PLACE && WriteInPlace(h, p, size));
    if (h != INVALID_HANDLE_VALUE) ok = CloseHandle(h) && ok;
    if (!ok && created) DeleteFileW(wname.c_str());
    return ok ? FILE_DONE : FILE_IO_FAILED;
}

FileResult LoadBytes(const char *name, void *buf, size_t cap, size_t *got) {
    std::wstring wname = Widen(name);
    HANDLE h = wname.empty() ? INVALID_HANDLE_VALUE : Open(wname, GENERIC_READ, OPEN_EXISTING);
    if (h == INVALID_HANDLE_VALUE) return FILE_OPEN_FAILED;
    BY_HANDLE_FILE_INFORMATION info;
    if (!IsRegular(h, &info)) {
        CloseHandle(h);
        return FILE_OPEN_FAILED;
    }
    unsigned char *p = (unsigned char *)buf;
    size_t size = 0;
    bool ok = true;
    while (size < cap) {
        DWORD want = cap - size > 0x10000000 ? 0x10000000 : (DWORD)(cap - size), n = 0;
        if (!ReadFile(h, p + size, want, &n, nullptr)) ok = false;
        if (!ok || n == 0) break;
        size += n;
    }
    CloseHandle(h);
    if (!ok) return FILE_IO_FAILED;
    *got = size;
    return FILE_DONE;
}

#endif
