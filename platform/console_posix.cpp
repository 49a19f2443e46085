/* console_posix.cpp - the console's system side on POSIX systems: iconv for
 * GBK, the terminal's charset from the locale, stdio for output, read(2)
 * for input, and the signals a filter expects. See console_system.h. */
#include "console_system.h"

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <strings.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

bool StdoutIsTerminal() {
    return isatty(STDOUT_FILENO) != 0;
}

bool StderrIsStdoutTerminal() {
    struct stat out, err;
    return isatty(STDOUT_FILENO) && isatty(STDERR_FILENO) && fstat(STDOUT_FILENO, &out) == 0 &&
           fstat(STDERR_FILENO, &err) == 0 && out.st_rdev == err.st_rdev;
}

void SetUpProcess() {
    signal(SIGPIPE, SIG_DFL);
    signal(SIGXFSZ, SIG_IGN);
}

/* The arguments come as the bytes the user typed. */
char **SystemArguments(int *, char **argv) {
    return argv;
}

/* True for the charsets that can show GBK bytes. */
static bool IsGbkFamily(const char *codeset) {
    static const char *const names[] = {"GBK", "GB2312", "GB18030", "CP936", "EUC-CN"};
    for (const char *name : names)
        if (strcasecmp(codeset, name) == 0) return true;
    return false;
}

/* AUTO: a terminal whose charset is not GBK cannot show GBK: give it UTF-8.
 * The locale is consulted and then put back to "C", so that nothing else in
 * the program depends on it. */
bool ChooseSink(OutputEncoding encoding, bool terminal) {
    if (encoding != ENCODING_AUTO || !terminal) return encoding == ENCODING_UTF8;
    setlocale(LC_CTYPE, "");
    bool utf8 = !IsGbkFamily(nl_langinfo(CODESET));
    setlocale(LC_CTYPE, "C");
    return utf8;
}

/* The converter, opened once and kept for the whole run. */
static iconv_t g_iconv = (iconv_t)-1;

/* Whether a block of memory can still be had. */
static bool MemoryLeft() {
    void *probe = malloc(1 << 12);
    free(probe);
    return probe != nullptr;
}

/* glibc reports an allocation that failed inside iconv_open as EINVAL, as it
 * does a missing converter: a second try, and then a probe for memory, tell
 * the two apart. */
bool OpenConverter() {
    for (int tries = 0; tries < 2 && g_iconv == (iconv_t)-1; tries++)
        g_iconv = iconv_open("GBK", "UTF-8");
    if (g_iconv != (iconv_t)-1) return true;
    if (!MemoryLeft()) errno = ENOMEM;
    return false;
}

void CloseConverter() {
    if (g_iconv != (iconv_t)-1) iconv_close(g_iconv);
    g_iconv = (iconv_t)-1;
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

/* The first error of a write made straight to the file, for SinkFlush. */
static int g_write_error = 0;

/* A block of texts (as the output layer gathers them) goes straight to the
 * file, after what stdio holds for it: copying it into stdio's buffer
 * first would only cost time. A few bytes (those before a formatted print)
 * join stdio's buffer. */
void SinkWrite(const char *bytes, size_t n) {
    if (n < 4096) {
        fwrite(bytes, 1, n, stdout);
        return;
    }
    if (fflush(stdout) != 0) return; /* the failure stays flagged in stdout */
    while (n > 0 && g_write_error == 0) {
        ssize_t k = write(STDOUT_FILENO, bytes, n);
        if (k < 0 && errno != EINTR) g_write_error = errno;
        if (k > 0) {
            bytes += k;
            n -= (size_t)k;
        }
    }
}

FILE *SinkStream() {
    return stdout;
}

/* A write that failed earlier, when stdio's buffer filled, stays flagged in
 * stdout (ferror) and is caught here too, errno normally still telling its
 * cause. */
bool SinkFlush() {
    if (g_write_error != 0) {
        errno = g_write_error;
        return false;
    }
    return fflush(stdout) == 0 && !ferror(stdout);
}

bool ReaderGone(int err) {
    return err == EPIPE;
}

/* The clear-and-home sequence. */
bool ClearTerminal() {
    fputs("\033[H\033[2J", stdout);
    return SinkFlush();
}

/* A terminal that hung up reads as the end of input; it is a failure, which
 * its refusing every request (EIO) tells from a typed end of input. */
long ReadInput(char *buf, size_t n) {
    long got = (long)read(STDIN_FILENO, buf, n);
    struct termios mode;
    if (got == 0 && tcgetattr(STDIN_FILENO, &mode) != 0 && errno == EIO) return -1;
    return got;
}

/* ---- The screen's size ---- */

bool AskTermSize(TermSize *size) {
    struct winsize ws;
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) != 0) return false;
    size->cols = ws.ws_col;
    size->rows = ws.ws_row;
    return true;
}

bool TermShowsReverse() {
    return StdoutIsTerminal();
}
