/* output.cpp - printing, write errors, start and exit. See output.h. */
#include "output.h"

#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console_system.h"
#include "fail.h"
#include "lang.h"

static bool g_terminal = false;  /* stdout is a terminal or console */
static bool g_utf8_out = false;  /* texts go out as UTF-8; otherwise GBK */
static bool g_line_open = false; /* the last byte printed was not a newline */
static bool g_failed = false;    /* a write failed: the program is ending */

/* ---- Write errors --------------------------------------------------------- */

/* stdout cannot be written: err is the errno of the failed write. A reader
 * that went away ends the program quietly, as SIGPIPE does where the system
 * has it; any other error is said on stderr. Status 1 either way. _Exit,
 * not exit: this may run inside the exit handler, and the unwritten output
 * must not be tried again. */
[[noreturn]] static void WriteFailed(int err) {
    g_failed = true;
    if (!ReaderGone(err)) Complain("write error: %s", strerror(err));
    _Exit(EXIT_FAILURE);
}

void FlushOutput() {
    if (!SinkFlush()) WriteFailed(errno);
}

void ClearForComplaint() {
    if (g_failed) return;
    FlushOutput();
    if (g_line_open && g_terminal && StderrIsStdoutTerminal()) fputc('\n', stderr);
}

/* ---- Converted texts ------------------------------------------------------ */

/* A text printed before: key is the address it was printed from, copy its
 * UTF-8 bytes then (to tell a refilled buffer from the same text), out its
 * output form (copy itself, or the GBK bytes after copy in the same block).
 * A key whose text changed between two prints is a buffer: it is marked
 * so and converted on every print, not kept. */
struct Converted {
    const char *key;
    char *copy;
    const char *out;
    size_t size; /* of out, without the zero byte */
    bool buffer;
};

/* Sets of four entries, picked by the text's address; in a full set the
 * next entry in turn gives way. */
enum { kSets = 32, kWays = 4 };
static Converted g_table[kSets][kWays];
static unsigned char g_next[kSets];

static void ForgetTexts() {
    for (auto &set : g_table)
        for (Converted &c : set) {
            free(c.copy);
            c = Converted{};
        }
}

/* A text that cannot be converted is a fault of the program; printing it
 * unconverted would mix encodings, so the program ends instead. */
[[noreturn]] static void CannotConvert(const char *text) {
    Complain("cannot convert a text to the output encoding: %s", text);
    exit(EXIT_FAILURE);
}

/* Whether text (n bytes) goes out as it is: UTF-8 output, or ASCII. */
static bool Plain(const char *s, size_t n) {
    for (size_t i = 0; i < n && !g_utf8_out; i++)
        if ((unsigned char)s[i] >= 0x80) return false;
    return true;
}

/* Converts text (len bytes) into room (len + 1 bytes: GBK is never longer
 * than UTF-8); returns the size. */
static size_t ToGbk(const char *text, char *room, size_t len) {
    size_t n = Utf8ToGbk(text, room, len + 1);
    if (n == (size_t)-1) CannotConvert(text);
    return n;
}

/* Keeps the output form of text in entry c, replacing what c held.
 * Returns false, c untouched, when there is no memory for it. */
static bool Keep(Converted *c, const char *text) {
    size_t len = strlen(text);
    bool plain = Plain(text, len);
    char *block = (char *)malloc(plain ? len + 1 : 2 * (len + 1));
    if (!block) return false;
    memcpy(block, text, len + 1);
    size_t size = plain ? len : ToGbk(text, block + len + 1, len);
    free(c->copy);
    *c = Converted{text, block, plain ? block : block + len + 1, size, false};
    return true;
}

/* The output form of text, its size in *size: the kept one when text is
 * known and unchanged, else a new one, kept when there is room, or else
 * made on the spot: text itself, or converted into *owned, which the
 * caller frees. */
static const char *Form(const char *text, size_t *size, char **owned) {
    *owned = nullptr;
    uintptr_t a = (uintptr_t)text;
    unsigned s = (unsigned)((a >> 4) ^ (a >> 9)) % kSets;
    Converted *c = g_table[s], *end = c + kWays;
    while (c < end && c->key != text)
        c++;
    if (c == end) {
        c = &g_table[s][g_next[s]];
        if (!Keep(c, text)) c = nullptr;
        g_next[s] = (unsigned char)((g_next[s] + 1) % kWays);
    } else if (!c->buffer && strcmp(c->copy, text) != 0) {
        free(c->copy); /* one address, two texts: a buffer */
        *c = Converted{text, nullptr, nullptr, 0, true};
    }
    if (c && !c->buffer) {
        *size = c->size;
        return c->out;
    }
    size_t len = strlen(text);
    *size = len;
    if (Plain(text, len)) return text;
    if (!(*owned = (char *)malloc(len + 1))) ExitOutOfMemory();
    *size = ToGbk(text, *owned, len);
    return *owned;
}

/* ---- Printing ------------------------------------------------------------- */

void PrintText(const char *text) {
    text = Tr(text);
    size_t n;
    char *owned;
    const char *form = Form(text, &n, &owned);
    if (n > 0) {
        SinkWrite(form, n);
        g_line_open = form[n - 1] != '\n';
    }
    free(owned);
}

void PrintLine(const char *text) {
    PrintText(text);
    PrintChar('\n');
}

/* Formats form into a buffer (on the stack, or on the heap when longer)
 * and hands that to the sink: for sinks that take bytes another way. */
static void PrintThroughBuffer(const char *form, va_list ap) {
    va_list again;
    va_copy(again, ap);
    char small[1024], *out = small;
    int k = vsnprintf(small, sizeof small, form, ap);
    if (k >= (int)sizeof small) {
        if (!(out = (char *)malloc((size_t)k + 1))) ExitOutOfMemory();
        vsnprintf(out, (size_t)k + 1, form, again);
    }
    va_end(again);
    if (k > 0) SinkWrite(out, (size_t)k);
    if (out != small) free(out);
}

/* Formats the arguments with the output form of the format, straight into
 * the sink's stream where it has one (a failure stays flagged there for
 * FlushOutput). Whether the line is left open is judged by the format: one
 * that ends in a conversion is taken to leave it open. */
void Print(const char *fmt, ...) {
    fmt = Tr(fmt);
    size_t n;
    char *owned;
    const char *form = Form(fmt, &n, &owned);
    if (n > 0) {
        va_list ap;
        va_start(ap, fmt);
        if (FILE *stream = SinkStream())
            vfprintf(stream, form, ap);
        else
            PrintThroughBuffer(form, ap);
        va_end(ap);
        g_line_open = form[n - 1] != '\n';
    }
    free(owned);
}

void PrintChar(char c) {
    SinkChar(c);
    g_line_open = c != '\n';
}

/* ---- Start and exit ------------------------------------------------------- */

/* At exit: writes the rest and closes stdout, so that the last write and
 * the close are checked too (a full disk, for one). */
static void AtExit() {
    FlushOutput();
    if (fclose(stdout) != 0) WriteFailed(errno);
    CloseConverter();
    ForgetTexts();
}

void ConsoleInit(OutputEncoding encoding) {
    static char out_buf[1 << 16];
    static bool registered = false;
    ForgetTexts();
    g_terminal = StdoutIsTerminal();
    g_utf8_out = ChooseSink(encoding, g_terminal);
    if (!g_utf8_out && !OpenConverter()) {
        if (errno == ENOMEM) ExitOutOfMemory();
        Complain("cannot convert texts to GBK: %s", strerror(errno));
        exit(EXIT_FAILURE);
    }
    if (registered) return;
    registered = true;
    /* Full buffering: FlushOutput writes the output out before every read
     * that may wait. */
    setvbuf(stdout, out_buf, _IOFBF, sizeof out_buf);
    atexit(AtExit);
}

void ClearScreen() {
    if (!g_terminal) return;
    ClearTerminal();
    g_line_open = false;
}
