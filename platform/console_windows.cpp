/* console_windows.cpp - the console's system side on Windows: code page 936
 * for GBK, WriteConsoleW for the texts at a console, the console API to
 * clear it, _read for input, the wide command line. See console_system.h. */
#include "console_system.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <io.h>
#include <windows.h>

#include <shellapi.h>

/* At a console the texts come as UTF-8 and go out as UTF-16, which every
 * console shows rightly whatever its code page, so the code page is left
 * alone. */
static bool g_wide = false;
static bool g_wide_failed = false; /* a write to the console failed */

bool StdoutIsTerminal() {
    DWORD mode;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

/* A process has one console: stderr is at it when it is a console too. */
bool StderrIsStdoutTerminal() {
    DWORD mode;
    return StdoutIsTerminal() && GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

/* Windows has neither SIGPIPE nor SIGXFSZ: a closed pipe and a full disk
 * are failed writes already. */
void SetUpProcess() {}

/* The C runtime's argv is in the ANSI code page, which loses what it cannot
 * show: the wide command line is split again and each argument converted
 * to UTF-8. */
char **SystemArguments(int *argc, char **) {
    int n = 0;
    wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &n);
    if (!wide) return nullptr;
    char **out = (char **)calloc((size_t)n + 1, sizeof(char *));
    for (int i = 0; out && i < n; i++) {
        int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        out[i] = size > 0 ? (char *)malloc((size_t)size) : nullptr;
        if (!out[i]) {
            out = nullptr; /* the program ends: what was had is left to the system */
            break;
        }
        WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, out[i], size, nullptr, nullptr);
    }
    LocalFree(wide);
    if (out) *argc = n;
    return out;
}

/* AUTO at a console: UTF-8 texts, written as UTF-16. Elsewhere the bytes
 * asked for, GBK by default. */
bool ChooseSink(OutputEncoding encoding, bool terminal) {
    g_wide = encoding == ENCODING_AUTO && terminal;
    return g_wide || encoding == ENCODING_UTF8;
}

/* Whether GBK can be had: code page 936 must be installed. */
bool OpenConverter() {
    if (IsValidCodePage(936)) return true;
    errno = EINVAL;
    return false;
}

void CloseConverter() {}

size_t Utf8ToGbk(const char *utf8, char *out, size_t outsize) {
    int wlen = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
    if (wlen <= 0) return (size_t)-1;
    wchar_t *wide = (wchar_t *)malloc(sizeof(wchar_t) * (size_t)wlen);
    if (!wide) return (size_t)-1;
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, wlen);
    BOOL lossy = FALSE;
    int n = WideCharToMultiByte(936, 0, wide, -1, out, (int)(outsize > INT_MAX ? INT_MAX : outsize),
                                nullptr, &lossy);
    free(wide);
    if (n <= 0 || lossy) return (size_t)-1;
    return (size_t)n - 1; /* n counts the terminating zero */
}

/* Writes n UTF-16 units to the console; false when it refuses them. */
static bool WriteWide(const wchar_t *p, size_t n) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    while (n > 0) {
        DWORD written = 0;
        if (!WriteConsoleW(out, p, (DWORD)n, &written, nullptr) || written == 0) return false;
        p += written;
        n -= written;
    }
    return true;
}

/* The UTF-8 bytes converted at a time. */
enum { kPiece = 4096 };

/* The length of the start of bytes[0 .. n) that ends with a whole
 * character: a character cut by the end goes with the next piece. */
static size_t WholeCharacters(const char *bytes, size_t n) {
    for (size_t back = 1; back <= 3 && back <= n; back++) {
        unsigned char b = (unsigned char)bytes[n - back];
        if ((b & 0xC0) == 0x80) continue; /* a continuation byte */
        size_t need = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        return need > back ? n - back : n;
    }
    return n;
}

/* Writes bytes to the console as UTF-16, each newline as CR LF, as the C
 * runtime writes it to a console in text mode, a piece of whole characters
 * at a time. A byte that is no character shows as U+FFFD. */
static bool WriteToConsole(const char *bytes, size_t n) {
    static wchar_t wide[kPiece], out[2 * kPiece];
    while (n > 0) {
        size_t piece = n > kPiece ? WholeCharacters(bytes, kPiece) : n;
        int k = MultiByteToWideChar(CP_UTF8, 0, bytes, (int)piece, wide, kPiece);
        size_t m = 0;
        for (int i = 0; i < k; i++) {
            if (wide[i] == L'\n') out[m++] = L'\r';
            out[m++] = wide[i];
        }
        if (!WriteWide(out, m)) return false;
        bytes += piece;
        n -= piece;
    }
    return true;
}

void SinkWrite(const char *bytes, size_t n) {
    if (!g_wide)
        fwrite(bytes, 1, n, stdout);
    else if (!g_wide_failed && !WriteToConsole(bytes, n))
        g_wide_failed = true;
}

FILE *SinkStream() {
    return g_wide ? nullptr : stdout;
}

bool SinkFlush() {
    if (g_wide_failed) {
        errno = EIO;
        return false;
    }
    return fflush(stdout) == 0 && !ferror(stdout);
}

/* A reader that went away is reported with one of three system errors (Wine
 * with ERROR_PIPE_NOT_CONNECTED), all seen as errno EINVAL or EPIPE: only
 * _doserrno tells them apart. */
bool ReaderGone(int) {
    return _doserrno == ERROR_NO_DATA || _doserrno == ERROR_BROKEN_PIPE ||
           _doserrno == ERROR_PIPE_NOT_CONNECTED;
}

/* Blanks every cell of the console's buffer in its current colours and puts
 * the cursor home, as "cls" does, without starting a process. */
bool ClearTerminal() {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(out, &info)) return true; /* nothing to clear */
    DWORD cells = (DWORD)info.dwSize.X * (DWORD)info.dwSize.Y, done;
    COORD home = {0, 0};
    FillConsoleOutputCharacterW(out, L' ', cells, home, &done);
    FillConsoleOutputAttribute(out, info.wAttributes, cells, home, &done);
    SetConsoleCursorPosition(out, home);
    return true;
}

long ReadInput(char *buf, size_t n) {
    return _read(0, buf, (unsigned)(n > INT_MAX ? INT_MAX : n));
}

/* ---- The screen's size ---- */

bool AskTermSize(TermSize *size) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info)) return false;
    size->cols = info.srWindow.Right - info.srWindow.Left + 1;
    size->rows = info.srWindow.Bottom - info.srWindow.Top + 1;
    return true;
}

/* The console is left in its mode: no escape sequences. */
bool TermShowsReverse() {
    return false;
}
