/* output.cpp - printing, complaints, write errors, start and exit (see
 * output.h): all that writes to stdout or stderr. The system's side
 * (console_system.h) only hands bytes on and says whether that worked. */
#include "output.h"

#include <cerrno>
#include <cstdarg>
#include <cstdint> /* uintptr_t */
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console_system.h"
#include "lang.h"

static const char *g_program = "menu";
static bool g_terminal = false;  /* stdout is a terminal or console */
static bool g_utf8_out = false;  /* texts go out as UTF-8; otherwise GBK */
static bool g_gbk_out = false;   /* ConsoleInit chose GBK (stderr's names follow) */
static bool g_line_open = false; /* the last byte printed was not a newline */

/* Output waiting to be written: g_out[0 .. g_out_len). */
static char g_out[1 << 16];
static size_t g_out_len = 0;

void SetProgramName(const char *name) {
    g_program = name;
}

const char *ProgramName() {
    return g_program;
}

/* ---- Write errors and complaints ------------------------------------------ */

/* stdout cannot be written (errno err). A reader that went away ends the
 * program quietly, as SIGPIPE does; any other error is said on stderr.
 * Status 1 either way. _Exit, not exit: this may run inside the exit
 * handler, and the unwritten output must not be tried again. */
[[noreturn]] static void WriteFailed(int err) {
    if (!ReaderGone(err)) fprintf(stderr, "%s: write error: %s\n", g_program, strerror(err));
    _Exit(EXIT_FAILURE);
}

/* RARE marks a function that runs seldom, which the compiler keeps out of
 * its callers' short common path; INLINE one it copies into each caller. */
#if defined(__GNUC__)
#define RARE __attribute__((noinline, cold))
#define INLINE inline __attribute__((always_inline))
#else
#define RARE
#define INLINE inline
#endif

/* Hands the texts waiting on to the system's side. */
RARE static void Drain() {
    if (g_out_len > 0) SinkWrite(g_out, g_out_len);
    g_out_len = 0;
}

void FlushOutput() {
    Drain();
    if (!SinkFlush()) WriteFailed(errno);
}

/* The bytes of the UTF-8 character at p: 1 for ASCII, and for a byte that
 * starts no whole character. */
static size_t CharLength(const char *p) {
    unsigned char b = (unsigned char)*p;
    size_t n = b < 0xC0 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : b < 0xF8 ? 4 : 1;
    for (size_t i = 1; i < n; i++)
        if (((unsigned char)p[i] & 0xC0) != 0x80) return 1;
    return n;
}

/* Writes text on stderr in the output's encoding, once ConsoleInit chose
 * GBK: each UTF-8 character (a file's name) as its GBK bytes; a character
 * GBK has not, and bytes that are no UTF-8, as they are. */
static void PutOnStderr(const char *text) {
    for (const char *p = text; *p;) {
        size_t n = CharLength(p), k = (size_t)-1;
        char one[8], gbk[8];
        if (g_gbk_out && n > 1) {
            memcpy(one, p, n);
            one[n] = '\0';
            k = Utf8ToGbk(one, gbk, sizeof gbk);
        }
        fwrite(k != (size_t)-1 ? gbk : p, 1, k != (size_t)-1 ? k : n, stderr);
        p += n;
    }
}

/* Formatted on the stack (no memory may be left), cut at 4 KB. */
void Complain(const char *fmt, ...) {
    FlushOutput();
    if (g_line_open && g_terminal && StderrIsStdoutTerminal()) fputc('\n', stderr);
    char text[4096];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(text, sizeof text, fmt, ap);
    va_end(ap);
    fprintf(stderr, "%s: ", g_program);
    PutOnStderr(text);
    fputc('\n', stderr);
}

void ExitOutOfMemory() {
    Complain("out of memory");
    exit(-2); /* OVERFLOW, the status the operations' callers expect */
}

/* ---- Converted texts ------------------------------------------------------ */

/* A text printed before: key its address, copy its bytes then (to tell a
 * refilled buffer), out its output form (copy itself, or its GBK bytes
 * after copy in the same block) and size the length of that. */
struct Kept {
    const char *key;
    char *copy;
    const char *out;
    size_t size;
};

/* One entry per slot, picked by the address; a text that finds another in
 * its slot takes its place. The programs' texts lie within a few kilobytes. */
enum { kSlots = 4096 };
static Kept g_kept[kSlots];

static void ForgetTexts() {
    for (Kept &k : g_kept) {
        free(k.copy);
        k = Kept{};
    }
}

/* Whether text (n bytes) goes out as it is: UTF-8 output, or ASCII. */
static bool Plain(const char *text, size_t n) {
    for (size_t i = 0; i < n && !g_utf8_out; i++)
        if ((unsigned char)text[i] >= 0x80) return false;
    return true;
}

/* Converts text (len bytes) into room (len + 1 bytes: GBK is never longer
 * than UTF-8); returns the size. A text that cannot be converted is a fault
 * of the program: printed unconverted it would mix encodings, so the
 * program ends instead. */
static size_t ToGbk(const char *text, char *room, size_t len) {
    size_t n = Utf8ToGbk(text, room, len + 1);
    if (n != (size_t)-1) return n;
    Complain("cannot convert a text to the output encoding: %s", text);
    exit(EXIT_FAILURE);
}

/* Keeps the output form of text (len bytes) in k, replacing what k held.
 * Returns false, k untouched, when there is no memory for it. */
static bool Keep(Kept *k, const char *text, size_t len, bool plain) {
    char *block = (char *)malloc(plain ? len + 1 : 2 * (len + 1));
    if (!block) return false;
    memcpy(block, text, len + 1);
    const char *out = plain ? block : block + len + 1;
    size_t size = plain ? len : ToGbk(text, block + len + 1, len);
    free(k->copy);
    *k = Kept{text, block, out, size};
    return true;
}

/* The output form of text, its size in *size, made anew in its slot k: for
 * a buffer refilled with plain bytes, text itself; else a new one, kept in
 * the slot, or, with no memory to keep it, text itself or converted into
 * *owned, which the caller frees. */
RARE static const char *FormAnew(const char *text, Kept *k, size_t *size, char **owned) {
    size_t len = strlen(text);
    bool plain = Plain(text, len);
    *size = len;
    if (plain && k->key == text) return text; /* a buffer refilled */
    if (Keep(k, text, len, plain)) {
        *size = k->size;
        return k->out;
    }
    if (plain) return text;
    if (!(*owned = (char *)malloc(len + 1))) ExitOutOfMemory();
    *size = ToGbk(text, *owned, len);
    return *owned;
}

/* The output form of text (Form), where its slot holds text's address and
 * bytes, or, when fixed, its address alone: a fixed text never changes. */
static inline const char *Form(const char *text, bool fixed, size_t *size, char **owned) {
    *owned = nullptr;
    Kept *k = &g_kept[(uintptr_t)text % kSlots];
    if (k->key != text || (!fixed && strcmp(k->copy, text) != 0))
        return FormAnew(text, k, size, owned);
    *size = k->size;
    return k->out;
}

/* ---- Printing ------------------------------------------------------------- */

/* Adds n bytes to the texts waiting, which go on first where they do not fit
 * (bytes that fill the buffer alone go on at once): a text is never cut. */
static void Add(const char *bytes, size_t n) {
    if (n > sizeof g_out - g_out_len) {
        Drain();
        if (n > sizeof g_out) {
            SinkWrite(bytes, n);
            return;
        }
    }
    memcpy(g_out + g_out_len, bytes, n);
    g_out_len += n;
}

/* Put's path for a text not yet kept, or one that does not fit the buffer. */
RARE static void PrintAnew(const char *text, bool fixed, bool newline) {
    size_t n;
    char *owned;
    const char *form = Form(text, fixed, &n, &owned);
    if (n > 0) {
        Add(form, n);
        g_line_open = form[n - 1] != '\n';
    }
    free(owned);
    if (newline) PrintChar('\n');
}

/* Prints text in the session's language (lang.h, Tr), and a newline when
 * asked. Where its slot holds it (a text that is not fixed is compared with
 * the one kept) and it fits, its kept bytes are copied and nothing else is
 * called: the commonest print costs little more than the copy. */
static INLINE void Put(const char *text, bool fixed, bool newline) {
    text = Tr(text);
    const Kept &k = g_kept[(uintptr_t)text % kSlots];
    if (k.key != text || (!fixed && strcmp(k.copy, text) != 0) || k.size == 0 ||
        k.size + newline > sizeof g_out - g_out_len) {
        PrintAnew(text, fixed, newline);
        return;
    }
    memcpy(g_out + g_out_len, k.out, k.size);
    g_out_len += k.size;
    if (newline) g_out[g_out_len++] = '\n';
    g_line_open = g_out[g_out_len - 1] != '\n';
}

void PrintText(const char *text) {
    Put(text, false, false);
}

void PrintLine(const char *text) {
    Put(text, false, true);
}

void PrintFixedLine(const char *text) {
    Put(text, true, true);
}

/* Formats form into the texts waiting, for a sink without a stream: where
 * it does not fit, again after the texts went on; longer than the buffer,
 * on the heap. */
static void Format(const char *form, va_list ap) {
    va_list again;
    va_copy(again, ap);
    size_t room = sizeof g_out - g_out_len;
    int k = vsnprintf(g_out + g_out_len, room, form, ap);
    if (k > 0 && (size_t)k < room) {
        g_out_len += (size_t)k;
    } else if (k > 0 && (size_t)k < sizeof g_out) {
        Drain();
        g_out_len = (size_t)vsnprintf(g_out, sizeof g_out, form, again);
    } else if (k > 0) {
        char *out = (char *)malloc((size_t)k + 1);
        if (!out) ExitOutOfMemory();
        vsnprintf(out, (size_t)k + 1, form, again);
        Add(out, (size_t)k);
        free(out);
    }
    va_end(again);
}

/* Formats the arguments with the output form of the format, straight into
 * the sink's stream where it has one (after the texts waiting), else into
 * the texts waiting. Whether the line is left open is judged by the
 * format: one that ends in a conversion is taken to leave it open. */
void Print(const char *fmt, ...) {
    fmt = Tr(fmt);
    size_t n;
    char *owned;
    const char *form = Form(fmt, true, &n, &owned);
    if (n > 0) {
        va_list ap;
        va_start(ap, fmt);
        if (FILE *stream = SinkStream()) {
            if (g_out_len > 0) Drain();
            vfprintf(stream, form, ap);
        } else {
            Format(form, ap);
        }
        va_end(ap);
        g_line_open = form[n - 1] != '\n';
    }
    if (owned) free(owned);
}

void PrintChar(char c) {
    if (g_out_len == sizeof g_out) Drain();
    g_out[g_out_len++] = c;
    g_line_open = c != '\n';
}

void EndLine() {
    if (g_line_open) PrintChar('\n');
}

void ClearScreen() {
    if (!g_terminal) return;
    FlushOutput();
    if (!ClearTerminal()) WriteFailed(errno);
    g_line_open = false;
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
    SetUpProcess();
    ForgetTexts();
    g_terminal = StdoutIsTerminal();
    g_utf8_out = ChooseSink(encoding, g_terminal);
    g_gbk_out = !g_utf8_out;
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
