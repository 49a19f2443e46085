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

#include "fail.h"

/* At a console the texts come as UTF-8 and go out as UTF-16, which every
 * console shows rightly whatever its code page, so the code page is left
 * alone. */
static bool g_wide = false;
static char g_pending[4096]; /* UTF-8 output waiting for the console */
static size_t g_pending_len = 0;
static bool g_wide_failed = false;

bool StdoutIsTerminal() {
    DWORD mode;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

/* A process has one console: stderr is at it when it is a console too. */
bool StderrIsStdoutTerminal() {
    DWORD mode;
    return StdoutIsTerminal() && GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

/* The C runtime's argv is in the ANSI code page, which loses what it cannot
 * show: the wide command line is split again and each argument converted
 * to UTF-8. */
char **Utf8Arguments(int *argc, char **) {
    int n = 0;
    wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &n);
    if (!wide) ExitOutOfMemory();
    char **out = (char **)malloc(sizeof(char *) * ((size_t)n + 1));
    if (!out) ExitOutOfMemory();
    for (int i = 0; i < n; i++) {
        int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        out[i] = size > 0 ? (char *)malloc((size_t)size) : nullptr;
        if (!out[i]) ExitOutOfMemory();
        WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, out[i], size, nullptr, nullptr);
    }
    out[n] = nullptr;
    LocalFree(wide);
    *argc = n;
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

/* Writes n UTF-16 units to the console; a failure is kept for SinkFlush
 * to report. */
static void WriteWide(const wchar_t *p, size_t n) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    while (n > 0 && !g_wide_failed) {
        DWORD written = 0;
        if (!WriteConsoleW(out, p, (DWORD)n, &written, nullptr) || written == 0)
            g_wide_failed = true;
        p += written;
        n -= written;
    }
}

/* The length of the start of g_pending[0 .. n) that ends with a whole
 * character: a character cut by the end of the buffer waits for its rest. */
static size_t WholeCharacters(size_t n) {
    for (size_t back = 1; back <= 3 && back <= n; back++) {
        unsigned char b = (unsigned char)g_pending[n - back];
        if ((b & 0xC0) == 0x80) continue; /* a continuation byte */
        size_t need = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        return need > back ? n - back : n;
    }
    return n;
}

/* Writes g_pending[0 .. n) to the console as UTF-16, each newline as CR LF,
 * as the C runtime writes it to a console in text mode; the rest moves to
 * the front. A byte that is no character shows as U+FFFD. */
static void WritePending(size_t n) {
    static wchar_t wide[sizeof g_pending], out[2 * sizeof g_pending];
    int k = n ? MultiByteToWideChar(CP_UTF8, 0, g_pending, (int)n, wide, (int)sizeof g_pending) : 0;
    size_t m = 0;
    for (int i = 0; i < k; i++) {
        if (wide[i] == L'\n') out[m++] = L'\r';
        out[m++] = wide[i];
    }
    WriteWide(out, m);
    memmove(g_pending, g_pending + n, g_pending_len - n);
    g_pending_len -= n;
}

void SinkWrite(const char *bytes, size_t n) {
    if (!g_wide) {
        fwrite(bytes, 1, n, stdout);
        return;
    }
    while (n > 0) {
        if (g_pending_len == sizeof g_pending) WritePending(WholeCharacters(g_pending_len));
        size_t k = sizeof g_pending - g_pending_len;
        if (k > n) k = n;
        memcpy(g_pending + g_pending_len, bytes, k);
        g_pending_len += k;
        bytes += k;
        n -= k;
    }
}

void SinkChar(char c) {
    if (g_wide)
        SinkWrite(&c, 1);
    else
        putc(c, stdout);
}

FILE *SinkStream() {
    return g_wide ? nullptr : stdout;
}

bool SinkFlush() {
    if (g_pending_len > 0) WritePending(g_pending_len);
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
 * the cursor home, as "cls" does, without starting a process. What is
 * waiting must reach the console first. */
void ClearTerminal() {
    FlushOutput();
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(out, &info)) return;
    DWORD cells = (DWORD)info.dwSize.X * (DWORD)info.dwSize.Y, done;
    COORD home = {0, 0};
    FillConsoleOutputCharacterW(out, L' ', cells, home, &done);
    FillConsoleOutputAttribute(out, info.wAttributes, cells, home, &done);
    SetConsoleCursorPosition(out, home);
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
