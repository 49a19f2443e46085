/* textwidth.cpp - see textwidth.h. */
#include "textwidth.h"

#include <cstring>

#include "lang.h"
#include "output.h"

/* Whether code point c takes two columns: the CJK and full-width blocks
 * that the programs' texts use. */
static bool Wide(unsigned long c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6);
}

/* Whether code point c is punctuation that never starts a line: a full-width
 * comma, full stop, colon, semicolon, closing bracket, mark. */
static bool Closing(unsigned long c) {
    return c == 0x3001 || c == 0x3002 || c == 0xFF01 || c == 0xFF09 || c == 0xFF0C || c == 0xFF1A ||
           c == 0xFF1B || c == 0xFF1F;
}

/* The kinds of character Char tells apart: their columns, and for a wide
 * one whether a line may start or end with it. */
enum { NARROW = 1, WIDE = 2, CLOSING = 3, OPENING = 4 };

/* The character at s: its bytes (*len, at least 1) and its kind (0 for an
 * escape sequence, which takes no column). */
static int Char(const char *s, int *len) {
    const unsigned char *u = (const unsigned char *)s;
    if (u[0] == 0x1B && u[1] == '[') { /* an escape sequence: no column */
        int n = 2;
        while (u[n] && !((u[n] >= 'A' && u[n] <= 'Z') || (u[n] >= 'a' && u[n] <= 'z')))
            n++;
        *len = u[n] ? n + 1 : n;
        return 0;
    }
    int n = u[0] < 0x80 ? 1 : u[0] >= 0xF0 ? 4 : u[0] >= 0xE0 ? 3 : u[0] >= 0xC0 ? 2 : 1;
    unsigned long c = n == 1 ? u[0] : u[0] & (0x7F >> n);
    for (int i = 1; i < n; i++) {
        if ((u[i] & 0xC0) != 0x80) { /* cut short: one byte, one column */
            *len = 1;
            return NARROW;
        }
        c = (c << 6) | (u[i] & 0x3F);
    }
    *len = n;
    if (Closing(c)) return CLOSING;
    if (c == 0xFF08) return OPENING; /* a full-width opening bracket */
    return Wide(c) ? WIDE : NARROW;
}

/* The columns of a character of this kind. */
static int Columns(int kind) {
    return kind > NARROW ? 2 : kind;
}

int TextWidth(const char *text) {
    int cols = 0, len;
    for (const char *s = text; *s; s += len)
        cols += Columns(Char(s, &len));
    return cols;
}

int ScreenRows(const char *text, int width) {
    if (width < 1) width = 1;
    int rows = 0, cols = 0, len;
    for (const char *s = text;; s += len) {
        if (!*s || *s == '\n') { /* a line ends: the rows it took */
            rows += cols > width ? (cols + width - 1) / width : 1;
            cols = 0;
            if (!*s) return rows;
            len = 1;
            continue;
        }
        int kind = Char(s, &len);
        cols = *s == '\t' ? (cols / 8 + 1) * 8 : cols + Columns(kind);
    }
}

size_t FitLine(const char *text, int width, const char **next) {
    int cols = 0, len, last = 0, soft_cols[2] = {0, 0};
    /* soft[0]: the last break after closing punctuation, soft[1]: at a blank */
    const char *s = text, *brk = nullptr, *soft[2] = {nullptr, nullptr};
    for (; *s && *s != '\n'; s += len) {
        int kind = Char(s, &len), w = Columns(kind);
        /* A break before s: at a blank, before a wide character, or after
         * one, but never before closing punctuation nor after an opening
         * bracket. At a blank or after closing punctuation it is a soft one. */
        bool may =
            *s == ' ' || (kind >= WIDE && kind != CLOSING) || (last >= WIDE && kind != CLOSING);
        if (s > text && may && last != OPENING) {
            brk = s;
            if (*s == ' ' || last == CLOSING) {
                soft[*s == ' '] = s;
                soft_cols[*s == ' '] = cols;
            }
        }
        if (cols + w > width - 1 && s > text) break;
        cols += w;
        if (kind != 0) last = kind;
    }
    /* A soft break that leaves half the line or more, at a blank before
     * one after punctuation, is taken before a break between two Chinese
     * characters, which may split a word. */
    for (int k = 0; k < 2; k++)
        if (soft[k] && soft_cols[k] * 2 >= width - 1) brk = soft[k];
    const char *end = *s && *s != '\n' && brk ? brk : s;
    *next = end;
    while (**next == ' ')
        (*next)++;
    if (**next == '\n' && end == s) (*next)++;
    while (end > text && end[-1] == ' ')
        end--;
    return (size_t)(end - text);
}

/* Calls line(bytes, n) for each line of text; returns their number, at
 * most max_lines. */
template <typename Line>
static int EachLine(const char *text, int width, int max_lines, Line line) {
    if (width < 2) width = 2;
    int lines = 0;
    const char *s = text;
    while (lines < max_lines) {
        const char *next;
        size_t n = FitLine(s, width, &next);
        line(s, n);
        lines++;
        if (!*next) break;
        s = next;
    }
    return lines;
}

int PrintFitted(const char *text, int width, int max_lines) {
    return EachLine(Tr(text), width, max_lines, [](const char *s, size_t n) {
        char line[512];
        if (n >= sizeof line) n = sizeof line - 1;
        memcpy(line, s, n);
        line[n] = '\0';
        PrintLine(line);
    });
}

void PrintFittedOpen(const char *text, int width) {
    bool first = true;
    EachLine(Tr(text), width, 1 << 30, [&first](const char *s, size_t n) {
        char line[512];
        if (n >= sizeof line) n = sizeof line - 1;
        memcpy(line, s, n);
        line[n] = '\0';
        if (!first) PrintChar('\n');
        first = false;
        PrintText(line);
    });
}

int FittedLines(const char *text, int width) {
    return EachLine(Tr(text), width, 1 << 30, [](const char *, size_t) {});
}
