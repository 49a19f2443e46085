/* console.cpp - screen clearing, text encoding, buffered output and input
 * reading for both menu programs. See console.h for the contract of each
 * function.
 *
 * Output: bytes (GBK or UTF-8) go through stdio's stdout, fully buffered;
 * at a Windows console in UTF-16 mode they collect in a buffer of wide
 * characters for WriteConsoleW instead. Either is written out only by
 * FlushOutput, just before a read that may wait (and when a buffer fills).
 * Input: stdin is read here in blocks with read/_read, never through stdio,
 * so that the layer knows when a read is about to wait. */
#include "console.h"

#include <cerrno>
#include <climits>
#include <clocale>
#include <csignal>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fail.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <iconv.h>
#include <langinfo.h>
#include <strings.h>
#include <unistd.h>
#endif

/* What ConsoleInit decided; fixed for the rest of the run. */
static bool g_terminal = false; /* stdout is a terminal (POSIX) or console (Windows) */
static bool g_utf8_out = false; /* texts go out as UTF-8 unchanged; otherwise GBK */
#ifdef _WIN32
static bool g_wide = false; /* texts go to the console as UTF-16 */
#endif

/* ---- Write errors --------------------------------------------------------- */

/* Whether a failed write of stdout (errno err) met a pipe whose reader went
 * away. Windows reports that with one of three system errors (Wine with
 * ERROR_PIPE_NOT_CONNECTED), all seen as errno EINVAL or EPIPE: only
 * _doserrno tells them apart. */
static bool ReaderGone(int err) {
#ifdef _WIN32
    (void)err;
    return _doserrno == ERROR_NO_DATA || _doserrno == ERROR_BROKEN_PIPE ||
           _doserrno == ERROR_PIPE_NOT_CONNECTED;
#else
    return err == EPIPE;
#endif
}

/* stdout cannot be written: err is the errno of the failed write. A reader
 * that went away (the pipe was closed) ends the program quietly, as SIGPIPE
 * does where the system has it; any other error is said on stderr. Status
 * 1 either way. _exit, not exit: this may run inside the exit handler, and
 * the unwritten output must not be tried again. */
[[noreturn]] static void WriteFailed(int err) {
    if (!ReaderGone(err)) Complain("write error: %s", strerror(err));
    _exit(EXIT_FAILURE);
}

#ifdef _WIN32

static wchar_t g_wide_buf[4096]; /* UTF-16 output waiting for the console */
static size_t g_wide_len = 0;

/* Writes the waiting UTF-16 output to the console. */
static void FlushWide() {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    const wchar_t *p = g_wide_buf;
    size_t left = g_wide_len;
    g_wide_len = 0;
    while (left > 0) {
        DWORD written = 0;
        if (!WriteConsoleW(out, p, (DWORD)left, &written, nullptr) || written == 0)
            WriteFailed(EIO);
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

#endif

/* Writes all pending output; a failed write ends the program (WriteFailed).
 * A write that failed earlier, when stdio's buffer filled, stays flagged
 * in stdout (ferror) and is caught here too, errno normally still telling
 * its cause. */
static void FlushOutput() {
#ifdef _WIN32
    if (g_wide_len > 0) FlushWide();
#endif
    int failed = fflush(stdout);
    if (failed || ferror(stdout)) WriteFailed(errno);
}

/* At exit: writes the rest of the output and closes stdout, so that even
 * the last write and the close are checked (a full disk, for one). */
static void FinishOutput() {
    FlushOutput();
    if (fclose(stdout) != 0) WriteFailed(errno);
}

/* ---- Terminal and conversion, per system ---------------------------------- */

#ifdef _WIN32

static bool StdoutIsTerminal() {
    DWORD mode;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

/* Whether GBK can be had: code page 936 must be installed. */
static bool OpenConverter() {
    if (IsValidCodePage(936)) return true;
    errno = EINVAL;
    return false;
}

/* UTF-8 to UTF-16 in out (outsize units, zero-terminated). Returns the
 * number of units, or (size_t)-1. */
static size_t Utf8ToWide(const char *utf8, wchar_t *out, size_t outsize) {
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, out,
                                (int)(outsize > INT_MAX ? INT_MAX : outsize));
    return n <= 0 ? (size_t)-1 : (size_t)n - 1; /* n counts the terminating zero */
}

/* Adds n GBK bytes to the console's output, as UTF-16. A byte that is no
 * character on its own (half of a two-byte character) shows as '?'. */
static void PutGbkAsWide(const char *s, size_t n) {
    wchar_t small[256];
    wchar_t *wide = n <= 256 ? small : (wchar_t *)malloc(n * sizeof(wchar_t));
    if (!wide) ExitOutOfMemory();
    int k = n ? MultiByteToWideChar(936, 0, s, (int)n, wide, (int)n) : 0;
    PutWide(wide, k > 0 ? (size_t)k : 0);
    if (wide != small) free(wide);
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

/* AUTO at a Windows console: UTF-16 through WriteConsoleW, which every
 * console shows rightly whatever its code page, so the code page is left
 * alone. Elsewhere GBK. */
static void ChooseEncoding(OutputEncoding encoding) {
    g_utf8_out = encoding == ENCODING_UTF8;
    g_wide = encoding == ENCODING_AUTO && g_terminal;
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

/* The UTF-8 to GBK converter, opened once (by ConsoleInit in the programs)
 * and kept for the whole run. */
static iconv_t g_iconv = (iconv_t)-1;

/* Opens the converter if it is not open. Returns false when it cannot be
 * had, with errno telling why. */
static bool OpenConverter() {
    if (g_iconv == (iconv_t)-1) g_iconv = iconv_open("GBK", "UTF-8");
    return g_iconv != (iconv_t)-1;
}

size_t Utf8ToGbk(const char *utf8, char *out, size_t outsize) {
    if (outsize == 0 || !OpenConverter()) return (size_t)-1;
    iconv(g_iconv, nullptr, nullptr, nullptr, nullptr); /* reset the shift state */
    char *in = const_cast<char *>(utf8);
    size_t inleft = strlen(utf8);
    char *dst = out;
    size_t outleft = outsize - 1; /* room for the terminating zero */
    if (iconv(g_iconv, &in, &inleft, &dst, &outleft) == (size_t)-1) return (size_t)-1;
    *dst = '\0';
    return (size_t)(dst - out);
}

/* AUTO: a terminal whose charset is not GBK cannot show GBK: give it UTF-8.
 * The locale is consulted and then put back to "C", so that nothing else in
 * the program (white space, character classes) depends on it. */
static void ChooseEncoding(OutputEncoding encoding) {
    g_utf8_out = encoding == ENCODING_UTF8;
    if (encoding == ENCODING_AUTO && g_terminal) {
        setlocale(LC_CTYPE, "");
        g_utf8_out = !IsGbkFamily(nl_langinfo(CODESET));
        setlocale(LC_CTYPE, "C");
    }
}

#endif

/* ---- Converted texts ------------------------------------------------------ */

/* A text in its output form. source is an owned copy of the UTF-8 text, so
 * that a buffer whose contents change at the same address is noticed. bytes
 * is source itself when the text goes out unchanged (UTF-8 output, or plain
 * ASCII), otherwise an owned GBK copy; both are zero-terminated, so a
 * format's bytes can be given to printf. At a Windows console in UTF-16
 * mode, wide holds the text as UTF-16 (owned). */
struct WireText {
    const char *text; /* the key: the text's address; null in a free slot */
    char *source;
    const char *bytes;
    size_t size; /* of bytes, without the zero */
#ifdef _WIN32
    wchar_t *wide;
    size_t wide_size;
#endif
};

/* The texts met so far, found by address: open addressing with linear
 * probing in g_capacity slots (a power of two, at most half of them used).
 * Entries stay for the whole run. */
static WireText *g_slots = nullptr;
static size_t g_capacity = 0;
static size_t g_count = 0;

/* The slot where the search for text starts: Fibonacci hashing, the top
 * bits of the address times 2^64 / phi, which spreads nearby addresses. */
static size_t HomeSlot(const char *text, size_t capacity) {
    uint64_t h = (uint64_t)(uintptr_t)text * 0x9E3779B97F4A7C15u;
    return (size_t)(h >> 40) & (capacity - 1);
}

/* The slot that holds text, or the free slot where it belongs. */
static WireText *FindSlot(WireText *slots, size_t capacity, const char *text) {
    size_t i = HomeSlot(text, capacity);
    while (slots[i].text && slots[i].text != text)
        i = (i + 1) & (capacity - 1);
    return &slots[i];
}

/* Doubles the table (256 slots at first). */
static void GrowTable() {
    size_t capacity = g_capacity ? 2 * g_capacity : 256;
    WireText *slots = (WireText *)calloc(capacity, sizeof(WireText));
    if (!slots) ExitOutOfMemory();
    for (size_t i = 0; i < g_capacity; i++)
        if (g_slots[i].text) *FindSlot(slots, capacity, g_slots[i].text) = g_slots[i];
    free(g_slots);
    g_slots = slots;
    g_capacity = capacity;
}

static bool IsAscii(const char *s) {
    for (; *s; s++)
        if ((unsigned char)*s >= 0x80) return false;
    return true;
}

/* A text that cannot be converted is a fault of the program; printing it
 * unconverted would mix encodings, so the program ends instead. */
[[noreturn]] static void CannotConvert(const char *text) {
    Complain("cannot convert a text to the output encoding: %s", text);
    exit(EXIT_FAILURE);
}

/* Fills in entry w for text: its output forms. The converted forms are never
 * longer than the UTF-8 text (in bytes or in UTF-16 units). */
static void Convert(WireText *w, const char *text) {
    size_t len = strlen(text);
    w->text = text;
    w->source = (char *)malloc(len + 1);
    if (!w->source) ExitOutOfMemory();
    memcpy(w->source, text, len + 1);
    w->bytes = w->source;
    w->size = len;
    if (!g_utf8_out && !IsAscii(text)) {
        char *gbk = (char *)malloc(len + 1);
        if (!gbk) ExitOutOfMemory();
        w->size = Utf8ToGbk(text, gbk, len + 1);
        if (w->size == (size_t)-1) CannotConvert(text);
        w->bytes = gbk;
    }
#ifdef _WIN32
    w->wide = nullptr;
    if (g_wide) {
        w->wide = (wchar_t *)malloc((len + 1) * sizeof(wchar_t));
        if (!w->wide) ExitOutOfMemory();
        w->wide_size = Utf8ToWide(text, w->wide, len + 1);
        if (w->wide_size == (size_t)-1) CannotConvert(text);
    }
#endif
}

static void FreeWire(WireText *w);

/* The output forms of a text: converted on its first use, looked up
 * afterwards by address (the fixed texts are literals). A buffer that holds
 * another text than the one converted from its address is converted anew,
 * so a drawing's changing lines print as they are. The entry is valid until
 * the next call. */
static const WireText &Wire(const char *text) {
    WireText *w = g_capacity ? FindSlot(g_slots, g_capacity, text) : nullptr;
    if (w && w->text) {
        if (strcmp(w->source, text) == 0) return *w;
        FreeWire(w);
        Convert(w, text);
        return *w;
    }
    if (2 * (g_count + 1) > g_capacity) {
        GrowTable();
        w = FindSlot(g_slots, g_capacity, text);
    }
    Convert(w, text);
    g_count++;
    return *w;
}

/* Frees what entry w owns. */
static void FreeWire(WireText *w) {
    if (w->bytes != w->source) free((void *)w->bytes);
    free(w->source);
#ifdef _WIN32
    free(w->wide);
#endif
}

/* Frees the converted copies and the table (at exit). */
static void FreeTexts() {
    for (size_t i = 0; i < g_capacity; i++)
        if (g_slots[i].text) FreeWire(&g_slots[i]);
    free(g_slots);
    g_slots = nullptr;
    g_capacity = g_count = 0;
}

/* The menu drawn last, kept in its output form: the address and number of
 * its lines, and the lines joined, each with its newline (owned, the key
 * of g_menu). A program has one menu, so this is built once per run and
 * each later round writes the whole menu at once. */
static const char *const *g_menu_lines = nullptr;
static size_t g_menu_n = 0;
static WireText g_menu = {};

static void FreeMenu() {
    if (!g_menu.text) return;
    FreeWire(&g_menu);
    free((void *)g_menu.text);
    g_menu = WireText{};
    g_menu_lines = nullptr;
}

/* Makes g_menu the output form of the n lines. */
static void BuildMenu(const char *const *lines, size_t n) {
    FreeMenu();
    size_t len = 0;
    for (size_t i = 0; i < n; i++)
        len += strlen(lines[i]) + 1;
    char *joined = (char *)malloc(len + 1);
    if (!joined) ExitOutOfMemory();
    char *end = joined;
    for (size_t i = 0; i < n; i++) {
        size_t k = strlen(lines[i]);
        memcpy(end, lines[i], k);
        end[k] = '\n';
        end += k + 1;
    }
    *end = '\0';
    Convert(&g_menu, joined);
    g_menu_lines = lines;
    g_menu_n = n;
}

/* ---- Printing ------------------------------------------------------------- */

/* Writes a text's output form. */
static void PutWire(const WireText &w) {
#ifdef _WIN32
    if (g_wide) {
        PutWide(w.wide, w.wide_size);
        return;
    }
#endif
    fwrite(w.bytes, 1, w.size, stdout);
}

void PrintText(const char *text) {
    PutWire(Wire(text));
}

void PrintChar(char c) {
#ifdef _WIN32
    if (g_wide) {
        PutGbkAsWide(&c, 1);
        return;
    }
#endif
    putc((unsigned char)c, stdout);
}

void PrintLine(const char *text) {
    PrintText(text);
    PrintChar('\n');
}

#ifdef _WIN32
/* Print at a console in UTF-16 mode: formats with the GBK form of the
 * format, so element bytes are placed as they are, then shows the result
 * as UTF-16. */
static void PrintWide(const char *gbk_fmt, va_list ap) {
    char small[1024];
    va_list again;
    va_copy(again, ap);
    int n = vsnprintf(small, sizeof small, gbk_fmt, ap);
    char *out = small;
    if (n >= (int)sizeof small) {
        out = (char *)malloc((size_t)n + 1);
        if (!out) ExitOutOfMemory();
        vsnprintf(out, (size_t)n + 1, gbk_fmt, again);
    }
    va_end(again);
    if (n > 0) PutGbkAsWide(out, (size_t)n);
    if (out != small) free(out);
}
#endif

void Print(const char *fmt, ...) {
    const char *wire = Wire(fmt).bytes;
    va_list ap;
    va_start(ap, fmt);
#ifdef _WIN32
    if (g_wide)
        PrintWide(wire, ap);
    else
#endif
        vfprintf(stdout, wire, ap);
    va_end(ap);
}

#ifdef _WIN32
void ClearScreen() {
    /* Only a console is cleared: with stdout redirected, cmd's "cls" writes a
     * form feed into the file or pipe instead (Wine's writes nothing). What
     * is waiting must reach the console before cls clears it. */
    if (!g_terminal) return;
    FlushOutput();
    system("cls");
}
#else
void ClearScreen() {
    if (g_terminal) fputs("\033[H\033[2J", stdout);
}
#endif

/* ---- Start and end -------------------------------------------------------- */

/* At exit: the output is written and checked, then the converter's memory
 * is given back. */
static void AtExit() {
    FinishOutput();
    FreeTexts();
    FreeMenu();
#ifndef _WIN32
    if (g_iconv != (iconv_t)-1) iconv_close(g_iconv);
    g_iconv = (iconv_t)-1;
#endif
}

void ConsoleInit(OutputEncoding encoding) {
    static char out_buf[1 << 16];
    static bool registered = false;
    FreeTexts(); /* texts converted before a second call: convert anew */
    FreeMenu();
    g_terminal = StdoutIsTerminal();
    ChooseEncoding(encoding);
    if (!g_utf8_out && !OpenConverter()) {
        if (errno == ENOMEM) ExitOutOfMemory();
        Complain("cannot convert texts to GBK: %s", strerror(errno));
        exit(EXIT_FAILURE);
    }
    if (registered) return;
    registered = true;
#ifdef SIGPIPE
    /* A closed pipe ends the program at its next write, as for any filter,
     * even when the parent had SIGPIPE ignored. */
    signal(SIGPIPE, SIG_DFL);
#endif
    /* Full buffering everywhere: the layer itself writes the output out
     * before every read that may wait. */
    setvbuf(stdout, out_buf, _IOFBF, sizeof out_buf);
    atexit(AtExit);
}

/* ---- Reading -------------------------------------------------------------- */

/* Input read ahead from file descriptor 0: g_in[g_in_pos .. g_in_len) is
 * still to be used. g_in_end is set once a read has found the end of input;
 * no read is tried after it. */
static char g_in[1 << 16];
static size_t g_in_pos = 0;
static size_t g_in_len = 0;
static bool g_in_end = false;

/* Reads the next block of input; this is the one place where the program
 * waits for the user, so pending output is written first. Returns false at
 * the end of input. A read error ends the program with a stderr line. */
static bool FillInput() {
    if (g_in_end) return false;
    FlushOutput();
    for (;;) {
#ifdef _WIN32
        int n = _read(0, g_in, sizeof g_in);
#else
        ssize_t n = read(STDIN_FILENO, g_in, sizeof g_in);
#endif
        if (n > 0) {
            g_in_pos = 0;
            g_in_len = (size_t)n;
            return true;
        }
        if (n == 0) {
            g_in_end = true;
            return false;
        }
        if (errno != EINTR) {
            Complain("cannot read standard input: %s", strerror(errno));
            exit(EXIT_FAILURE);
        }
    }
}

/* The next input byte, or EOF at the end of input. */
static int NextByte() {
    if (g_in_pos == g_in_len && !FillInput()) return EOF;
    return (unsigned char)g_in[g_in_pos++];
}

/* Puts back the byte NextByte just returned (not EOF). */
static void UnreadByte() {
    g_in_pos--;
}

void DropInput() {
    g_in_pos = g_in_len = 0;
    g_in_end = false;
}

/* The end of input ends the program at once; nothing more is printed. The
 * exit handler writes out what is pending. */
[[noreturn]] static void EndOfInput() {
    exit(0);
}

/* NextByte that ends the program at the end of input. */
static int NextChar() {
    int c = NextByte();
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
    int c = NextChar();
    while (IsSpace(c))
        c = NextChar();
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = (c == '-');
        c = NextByte(); /* the end of input here is noticed by the next read */
    }
    if (!IsDigit(c)) {
        if (c != EOF) UnreadByte();
        return READ_NAN;
    }
    /* Accumulate as a negative number: its range covers INT_MIN. */
    long long value = 0;
    bool overflow = false;
    for (; IsDigit(c); c = NextByte()) {
        if (!overflow) {
            value = value * 10 - (c - '0');
            if (value < (long long)INT_MIN) overflow = true;
        }
    }
    if (c != EOF) UnreadByte();
    if (!negative) {
        if (-value > (long long)INT_MAX) overflow = true;
        value = -value;
    }
    if (overflow) return READ_NAN;
    *out = (int)value;
    return READ_OK;
}

int ReadChar() {
    return NextChar();
}

void DiscardLine(bool withNewline) {
    for (;;) {
        int c = NextChar();
        if (c == '\n') {
            if (!withNewline) UnreadByte();
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
    if (lines != g_menu_lines || n != g_menu_n) BuildMenu(lines, n);
    PutWire(g_menu);
    PrintText(prompt);
    int choice;
    if (ReadInt(&choice) == READ_OK) return choice;
    DiscardLine(true);
    return -1;
}
