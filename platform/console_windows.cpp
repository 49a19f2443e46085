/* console_windows.cpp - the console's system side on Windows: code page 936
 * for GBK, WriteConsoleW for the texts at a console, the console API to
 * clear it, _read for input. See console_system.h. */
#include "console_system.h"
#include "output.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <io.h>
#include <windows.h>

#include "fail.h"

/* The texts go to the console as UTF-16, which every console shows rightly
 * whatever its code page, so the code page is left alone. */
static bool g_wide = false;
static wchar_t g_wide_buf[4096]; /* UTF-16 output waiting for the console */
static size_t g_wide_len = 0;
static bool g_wide_failed = false;

bool StdoutIsTerminal() {
    DWORD mode;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

/* AUTO at a console: UTF-16. Elsewhere the bytes asked for, GBK by default. */
bool ChooseSink(OutputEncoding encoding, bool terminal) {
    g_wide = encoding == ENCODING_AUTO && terminal;
    return encoding == ENCODING_UTF8;
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

/* Writes the waiting UTF-16 output to the console; a failure is kept for
 * SinkFlush to report. */
static void FlushWide() {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    const wchar_t *p = g_wide_buf;
    size_t left = g_wide_len;
    g_wide_len = 0;
    while (left > 0 && !g_wide_failed) {
        DWORD written = 0;
        if (!WriteConsoleW(out, p, (DWORD)left, &written, nullptr) || written == 0)
            g_wide_failed = true;
        p += written;
        left -= written;
    }
}

/* Adds n UTF-16 units to the console's output, each newline as CR LF, as
 * the C runtime writes it to a console in text mode. */
static void PutWide(const wchar_t *s, size_t n) {
    const size_t room = sizeof g_wide_buf / sizeof g_wide_buf[0];
    for (size_t i = 0; i < n; i++) {
        if (g_wide_len + 2 > room) FlushWide();
        if (s[i] == L'\n') g_wide_buf[g_wide_len++] = L'\r';
        g_wide_buf[g_wide_len++] = s[i];
    }
}

/* At a console the GBK bytes are shown as UTF-16; a byte that is no
 * character on its own (half of a two-byte character) shows as '?'. */
void SinkWrite(const char *bytes, size_t n) {
    if (!g_wide) {
        fwrite(bytes, 1, n, stdout);
        return;
    }
    wchar_t small[256];
    wchar_t *wide = n <= 256 ? small : (wchar_t *)malloc(n * sizeof(wchar_t));
    if (!wide) ExitOutOfMemory();
    int k = n ? MultiByteToWideChar(936, 0, bytes, (int)n, wide, (int)n) : 0;
    PutWide(wide, k > 0 ? (size_t)k : 0);
    if (wide != small) free(wide);
}

bool SinkFlush() {
    if (g_wide_len > 0) FlushWide();
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
