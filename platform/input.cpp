/* input.cpp - reading and parsing standard input. See input.h.
 *
 * stdin is read here in blocks, never through stdio, so that the layer
 * knows when a read is about to wait and can write the prompt out first. */
#include "input.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console_system.h"
#include "output.h"

/* Input read ahead: g_in[g_pos .. g_len) is still to be used. g_end is set
 * once a read has found the end of input; no read is tried after it. */
static char g_in[1 << 16];
static size_t g_pos = 0;
static size_t g_len = 0;
static bool g_end = false;
/* The last byte of the block before g_in ('\n' before the first). */
static char g_before = '\n';

/* Reads the next block of input; this is where the program waits for the
 * user, so pending output is written first. Returns false at the end of
 * input. A read error ends the program with a stderr line. */
static bool FillInput() {
    if (g_end) return false;
    FlushOutput();
    if (g_len > 0) g_before = g_in[g_len - 1];
    long n;
    while ((n = ReadInput(g_in, sizeof g_in)) < 0)
        if (errno != EINTR) {
            Complain("cannot read standard input: %s", strerror(errno));
            exit(EXIT_FAILURE);
        }
    g_pos = 0;
    g_len = (size_t)n;
    g_end = n == 0;
    return n > 0;
}

/* The next input byte, or EOF at the end of input. */
static int NextByte() {
    if (g_pos == g_len && !FillInput()) return EOF;
    return (unsigned char)g_in[g_pos++];
}

/* Puts back the byte NextByte just returned (not EOF). */
static void UnreadByte() {
    g_pos--;
}

void DropInput() {
    g_pos = g_len = 0;
    g_end = false;
    g_before = '\n';
}

/* The end of input ends the program here; nothing more is printed, and
 * the exit handler writes out what is pending. */
int ReadChar() {
    int c = NextByte();
    if (c == EOF) exit(0);
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
    int c = ReadChar();
    while (IsSpace(c))
        c = ReadChar();
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = (c == '-');
        c = NextByte(); /* the end of input here is noticed by the next read */
    }
    /* Accumulate as a negative number: its range covers INT_MIN. */
    long long value = 0;
    bool digits = IsDigit(c), overflow = false;
    for (; IsDigit(c); c = NextByte())
        if (!overflow && (value = value * 10 - (c - '0')) < (long long)INT_MIN) overflow = true;
    if (c != EOF) UnreadByte();
    if (!negative && -value > (long long)INT_MAX) overflow = true;
    if (!digits || overflow) return READ_NAN;
    *out = (int)(negative ? value : -value);
    return READ_OK;
}

void DiscardLine(bool withNewline) {
    while (ReadChar() != '\n') {
    }
    if (!withNewline) UnreadByte();
}

void Pause(int n) {
    for (int i = 0; i < n; i++)
        ReadChar();
}

int CharsAhead(int n) {
    int ahead = 0;
    /* After a whole line none of the next one is typed yet. */
    if ((g_pos > 0 ? g_in[g_pos - 1] : g_before) == '\n') return 0;
    for (size_t i = g_pos; i < g_len && ahead < n; i++) {
        ahead++;
        if (g_in[i] == '\n') break;
    }
    return ahead;
}

bool ReadLineOrEnd(char *line, size_t size) {
    size_t n = 0;
    int c = NextByte();
    bool any = c != EOF;
    for (; c != EOF && c != '\n'; c = NextByte())
        if (n + 1 < size) line[n++] = (char)c;
    line[n] = '\0';
    return any;
}
