/* console.cpp - screen clearing, text encoding and input reading for both
 * menu programs. See console.h for the contract of each function. */
#include "console.h"

#include <climits>
#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <iconv.h>
#include <langinfo.h>
#include <strings.h>
#include <unistd.h>
#endif

/* True when the format texts go out as UTF-8 unchanged, false for GBK. */
static bool g_utf8_out = false;

#ifdef _WIN32

static bool StdoutIsTerminal() {
    DWORD mode;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

/* The console's output code page before ConsoleInit; 0 when unchanged. */
static UINT g_saved_output_cp = 0;

/* The code page belongs to the console, not to the program: put it back at
 * exit, so that the shell the program was started from is left as it was.
 * exit() runs this before it flushes stdout: flush first, so that the last
 * texts are still shown as GBK. */
static void RestoreOutputCodePage() {
    fflush(stdout);
    if (g_saved_output_cp) SetConsoleOutputCP(g_saved_output_cp);
}

void ConsoleInit(OutputEncoding encoding) {
    (void)encoding;
    /* The console shows GBK only with code page 936 selected. */
    if (StdoutIsTerminal()) {
        UINT cp = GetConsoleOutputCP();
        if (cp != 936 && SetConsoleOutputCP(936)) {
            g_saved_output_cp = cp;
            atexit(RestoreOutputCodePage);
        }
    }
    g_utf8_out = false;
}

void ClearScreen() {
    /* Only a console is cleared: with stdout redirected, cmd's "cls" writes a
     * form feed into the file or pipe instead (Wine's writes nothing). */
    if (!StdoutIsTerminal()) return;
    fflush(stdout);
    system("cls");
}

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

#else

static bool StdoutIsTerminal() {
    return isatty(STDOUT_FILENO) != 0;
}

/* True for the charsets that can show GBK bytes. */
static bool IsGbkFamily(const char *codeset) {
    static const char *const names[] = {"GBK", "GB2312", "GB18030", "CP936", "EUC-CN"};
    for (const char *name : names)
        if (strcasecmp(codeset, name) == 0) return true;
    return false;
}

/* The converter, opened on first use and closed at exit. */
static iconv_t g_iconv = (iconv_t)-1;

static void CloseConverter() {
    if (g_iconv != (iconv_t)-1) iconv_close(g_iconv);
    g_iconv = (iconv_t)-1;
}

void ConsoleInit(OutputEncoding encoding) {
    if (encoding != ENCODING_AUTO) {
        g_utf8_out = encoding == ENCODING_UTF8;
        return;
    }
    /* A terminal whose charset is not GBK cannot show GBK: give it UTF-8.
     * The locale is consulted and then put back to "C", so that nothing else
     * in the program (white space, character classes) depends on it. */
    if (StdoutIsTerminal()) {
        setlocale(LC_CTYPE, "");
        g_utf8_out = !IsGbkFamily(nl_langinfo(CODESET));
        setlocale(LC_CTYPE, "C");
    }
}

void ClearScreen() {
    if (!StdoutIsTerminal()) return;
    fputs("\033[H\033[2J", stdout);
    fflush(stdout);
}

size_t Utf8ToGbk(const char *utf8, char *out, size_t outsize) {
    if (g_iconv == (iconv_t)-1) {
        g_iconv = iconv_open("GBK", "UTF-8");
        if (g_iconv == (iconv_t)-1) return (size_t)-1;
        atexit(CloseConverter);
    }
    iconv(g_iconv, nullptr, nullptr, nullptr, nullptr); /* reset the shift state */
    char *in = const_cast<char *>(utf8);
    size_t inleft = strlen(utf8);
    char *dst = out;
    if (outsize == 0) return (size_t)-1;
    size_t outleft = outsize - 1; /* room for the terminating zero */
    if (iconv(g_iconv, &in, &inleft, &dst, &outleft) == (size_t)-1) return (size_t)-1;
    *dst = '\0';
    return (size_t)(dst - out);
}

#endif

static bool IsAscii(const char *s) {
    for (; *s; s++)
        if ((unsigned char)*s >= 0x80) return false;
    return true;
}

/* The bytes to write for a UTF-8 text: the text itself, or its GBK form in
 * buf. A text that cannot be converted goes out unchanged. */
static const char *WireText(const char *text, char *buf, size_t bufsize) {
    if (g_utf8_out || IsAscii(text) || Utf8ToGbk(text, buf, bufsize) == (size_t)-1) return text;
    return buf;
}

void Print(const char *fmt, ...) {
    char buf[1024];
    va_list ap;
    va_start(ap, fmt);
    vprintf(WireText(fmt, buf, sizeof buf), ap);
    va_end(ap);
}

void PrintText(const char *text) {
    char buf[1024];
    fputs(WireText(text, buf, sizeof buf), stdout);
}

void PrintChar(char c) {
    putchar((unsigned char)c);
}

void PrintLine(const char *text) {
    PrintText(text);
    fputc('\n', stdout);
}

/* ---- Reading ---------------------------------------------------------- */

/* The end of input ends the program at once; nothing more is printed. */
[[noreturn]] static void EndOfInput() {
    fflush(stdout);
    exit(0);
}

/* getchar that ends the program at the end of input. */
static int NextChar() {
    int c = getchar();
    if (c == EOF) EndOfInput();
    return c;
}

/* C's isspace set in the "C" locale, independent of the current locale. */
static bool IsSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

static bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}

ReadResult ReadInt(int *out) {
    fflush(stdout);
    int c = NextChar();
    while (IsSpace(c))
        c = NextChar();
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = (c == '-');
        c = getchar(); /* the end of input here is noticed by the next read */
    }
    if (!IsDigit(c)) {
        if (c != EOF) ungetc(c, stdin);
        return READ_NAN;
    }
    /* Accumulate as a negative number: its range covers INT_MIN. */
    long long value = 0;
    bool overflow = false;
    for (; IsDigit(c); c = getchar()) {
        if (!overflow) {
            value = value * 10 - (c - '0');
            if (value < (long long)INT_MIN) overflow = true;
        }
    }
    if (c != EOF) ungetc(c, stdin);
    if (!negative) {
        if (-value > (long long)INT_MAX) overflow = true;
        value = -value;
    }
    if (overflow) return READ_NAN;
    *out = (int)value;
    return READ_OK;
}

int ReadChar() {
    fflush(stdout);
    return NextChar();
}

void DiscardLine(bool withNewline) {
    fflush(stdout);
    for (;;) {
        int c = NextChar();
        if (c == '\n') {
            if (!withNewline) ungetc(c, stdin);
            return;
        }
    }
}

void Pause(int n) {
    for (int i = 0; i < n; i++)
        ReadChar();
}

int MenuChoice(const char *const *lines, size_t n, const char *prompt, void (*draw)()) {
    ClearScreen();
    if (draw) draw();
    for (size_t i = 0; i < n; i++)
        PrintLine(lines[i]);
    PrintText(prompt);
    int choice;
    if (ReadInt(&choice) == READ_OK) return choice;
    DiscardLine(true);
    return -1;
}
