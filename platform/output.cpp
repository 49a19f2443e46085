/* output.cpp - printing, write errors, start and exit. See output.h. */
#include "output.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console_system.h"
#include "fail.h"

#ifndef _WIN32
#include <unistd.h>
#endif

static bool g_terminal = false; /* stdout is a terminal or console */
static bool g_utf8_out = false; /* texts go out as UTF-8; otherwise GBK */
static unsigned g_round = 1;    /* fixed texts converted in another round are stale */

/* ---- Write errors --------------------------------------------------------- */

/* stdout cannot be written: err is the errno of the failed write. A reader
 * that went away ends the program quietly, as SIGPIPE does where the system
 * has it; any other error is said on stderr. Status 1 either way. _exit,
 * not exit: this may run inside the exit handler, and the unwritten output
 * must not be tried again. */
[[noreturn]] static void WriteFailed(int err) {
    if (!ReaderGone(err)) Complain("write error: %s", strerror(err));
    _exit(EXIT_FAILURE);
}

void FlushOutput() {
    if (!SinkFlush()) WriteFailed(errno);
}

/* At exit: writes the rest and closes stdout, so that the last write and
 * the close are checked too (a full disk, for one). */
static void AtExit() {
    FlushOutput();
    if (fclose(stdout) != 0) WriteFailed(errno);
    CloseConverter();
}

void ConsoleInit(OutputEncoding encoding) {
    static char out_buf[1 << 16];
    static bool registered = false;
    g_round++;
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
    if (g_terminal) ClearTerminal();
}

/* ---- Conversion ----------------------------------------------------------- */

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

/* The output form of text, in room (at least strlen(text) + 1 bytes) when
 * it must be converted, else text itself; its length in *size. */
static const char *Convert(const char *text, char *room, size_t *size) {
    if (g_utf8_out || IsAscii(text)) {
        *size = strlen(text);
        return text;
    }
    *size = Utf8ToGbk(text, room, strlen(text) + 1);
    if (*size == (size_t)-1) CannotConvert(text);
    return room;
}

/* The output form of a fixed text from its place's record, converted when
 * the record is empty, from an earlier round, or holds the other text of a
 * choice between two literals of one length. */
static const char *FixedForm(FixedText *site, const char *text, size_t *size) {
    if (site->utf8 != text || site->round != g_round) {
        site->out = Convert(text, site->room, &site->size);
        site->utf8 = text;
        site->round = g_round;
    }
    *size = site->size;
    return site->out;
}

/* The output form of a text that is not fixed: text itself, or converted
 * into a block that the caller frees when it is not text. */
static const char *PlainForm(const char *text, size_t *size) {
    char *room = nullptr;
    if (!g_utf8_out && !IsAscii(text) && !(room = (char *)malloc(strlen(text) + 1)))
        ExitOutOfMemory();
    return Convert(text, room, size);
}

/* ---- Printing ------------------------------------------------------------- */

void PutText(FixedText *site, const char *text) {
    size_t size;
    const char *form = site ? FixedForm(site, text, &size) : PlainForm(text, &size);
    SinkWrite(form, size);
    if (!site && form != text) free((void *)form);
}

void PutLine(FixedText *site, const char *text) {
    PutText(site, text);
    SinkWrite("\n", 1);
}

void PrintChar(char c) {
    SinkWrite(&c, 1);
}

/* Formats with the output form of the format and writes the result. */
static void FormatOut(const char *fmt, va_list ap) {
    char small[1024];
    va_list again;
    va_copy(again, ap);
    int n = vsnprintf(small, sizeof small, fmt, ap);
    char *out = small;
    if (n >= (int)sizeof small) {
        out = (char *)malloc((size_t)n + 1);
        if (!out) ExitOutOfMemory();
        vsnprintf(out, (size_t)n + 1, fmt, again);
    }
    va_end(again);
    if (n > 0) SinkWrite(out, (size_t)n);
    if (out != small) free(out);
}

void PutFormat(FixedText *site, const char *fmt, ...) {
    size_t size;
    const char *form = site ? FixedForm(site, fmt, &size) : PlainForm(fmt, &size);
    va_list ap;
    va_start(ap, fmt);
    FormatOut(form, ap);
    va_end(ap);
    if (!site && form != fmt) free((void *)form);
}
