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

/* The character at s: its bytes (*len, at least 1) and its columns; 3 for
 * a wide character that never starts a line (Closing). */
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
            return 1;
        }
        c = (c << 6) | (u[i] & 0x3F);
    }
    *len = n;
    return Closing(c) ? 3 : Wide(c) ? 2 : 1;
}

int TextWidth(const char *text) {
    int cols = 0, len;
    for (const char *s = text; *s; s += len) {
        int kind = Char(s, &len);
        cols += kind > 2 ? 2 : kind;
    }
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
        cols = *s == '\t' ? (cols / 8 + 1) * 8 : cols + (kind > 2 ? 2 : kind);
    }
}

/* The bytes of the first line of text on fewer than width columns, and in
 * *next where the line after it starts (blanks at the break dropped). The
 * line breaks at the last blank that fits, or next to a wide character
 * (Chinese is written without blanks), or else where the width ends. */
static size_t LineEnd(const char *text, int width, const char **next) {
    int cols = 0, len, last_w = 0;
    const char *s = text, *brk = nullptr;
    for (; *s && *s != '\n'; s += len) {
        int kind = Char(s, &len), w = kind > 2 ? 2 : kind;
        if (s > text && (*s == ' ' || kind == 2 || (last_w == 2 && kind != 3))) brk = s;
        if (cols + w > width - 1 && s > text) break;
        cols += w;
        last_w = w;
    }
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
        size_t n = LineEnd(s, width, &next);
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
