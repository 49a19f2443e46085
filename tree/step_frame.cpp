/* step_frame.cpp - how a --step frame is laid out (step_frame.h). Every line
 * is made in a buffer, measured by its display width and printed whole,
 * so that no line is longer than the width. */
#include <cstdio>
#include <cstring>

#include "Bitree.h"
#include "console.h"
#include "textwidth.h"
#include "step_frame.h"

#define LINE_MAX 1024 /* bytes of a line: 255 columns and their escapes */
#define PART_LINES 64 /* lines of one part of a frame at most */

typedef char Line[LINE_MAX];

/* Breaks text into lines of at most width columns (FitLine's breaks);
 * returns how many (at most max). */
static int Wrap(const char *text, int width, Line *out, int max) {
    int count = 0;
    while (*text && count < max) {
        const char *next;
        int n = (int)FitLine(text, width + 1, &next);
        snprintf(out[count++], LINE_MAX, "%.*s", n, text);
        text = next;
    }
    return count;
}

/* The code line a step runs: the first with its operation's call. */
static int MarkedCodeLine(const Frame &f) {
    static const char *const kCall[] = {"Push(", "Pop(", "GetTop(", "Visit("};
    for (int i = 0; i < f.walk->code_lines; i++)
        if (strstr(f.walk->code[i], kCall[f.op])) return i;
    return -1;
}

/* The data of node, as labels write it. */
static const char *Data(BiTree node, char *buf) {
    ElementText(buf, node->data);
    return buf;
}

/* The last of the nodes printed that fit lines lines of width columns,
 * wrapped; "..." first where some are left out. Returns the lines. */
static int PrintedLines(const Frame &f, int width, int lines, Line *out) {
    static char list[LINE_MAX * PART_LINES];
    /* A wrapped line may end up to 4 columns short of the width. */
    int room = (width - 4) * lines - 4, len = 0;
    long first = f.nprinted;
    char data[8];
    while (first > 0 && len + 5 <= room) /* each at most 4 columns and a blank */
        len += (int)strlen(Data(f.printed[--first], data)) + 1;
    len = 0;
    if (first > 0) len += snprintf(list, 8, "...");
    for (long i = first; i < f.nprinted; i++)
        len += snprintf(list + len, sizeof list - (size_t)len, "%s%s", len ? " " : "",
                        Data(f.printed[i], data));
    if (f.nprinted == 0) snprintf(list, sizeof list, "%s", StepText(TEXT_NONE));
    return Wrap(list, width, out, lines);
}

/* The level's slots, positions first to last, "_" for an empty one, in
 * at most lines lines of width columns. */
static int SlotLines(const Frame &f, int width, int lines, Line *out) {
    static char list[LINE_MAX * PART_LINES];
    int len = 0;
    list[0] = '\0';
    if (f.level > 30) { /* positions beyond int: the nodes alone */
        for (long i = 0; i < f.nnodes && len + 5 < (width - 4) * lines; i++) {
            char data[8];
            len += snprintf(list + len, 16, "%s%s", i ? " " : "", Data(f.nodes[i], data));
        }
        return Wrap(list, width, out, lines);
    }
    long long first = 1LL << f.level, last = (1LL << (f.level + 1)) - 1;
    long at = 0;
    int room = (width - 1) * lines; /* a wrapped line may end a column short */
    for (long long pos = first; pos <= last && len + 8 < room; pos++) {
        char data[8] = "_";
        while (at < f.nnodes && f.pos[at] < pos)
            at++;
        if (at < f.nnodes && f.pos[at] == pos) Data(f.nodes[at], data);
        len += snprintf(list + len, 16, "%s%s", pos > first ? " " : "", data);
        if (pos == last) break;
        if (len + 8 >= room) len += snprintf(list + len, 8, " ...");
    }
    return Wrap(list, width, out, lines);
}

/* The column beside the code: the stack (top first), p and the nodes
 * printed; for a level, its number, its slots and the nodes printed. At
 * most max lines of width columns; returns how many. */
static int RightColumn(const Frame &f, int width, int max, Line *out) {
    char a1[24], a2[24];
    Line text;
    int n = 0;
    if (f.op == OP_LEVEL) {
        snprintf(a1, sizeof a1, "%d", f.level);
        snprintf(a2, sizeof a2, "%d", f.level + 1);
        Fill(text, LINE_MAX, StepText(TEXT_LEVEL), a1, a2);
        n += Wrap(text, width, out + n, max - n);
        if (f.level <= 30) {
            snprintf(a1, sizeof a1, "%lld", 1LL << f.level);
            snprintf(a2, sizeof a2, "%lld", (1LL << (f.level + 1)) - 1);
            Fill(text, LINE_MAX, StepText(TEXT_SLOTS), a1, a2);
            n += Wrap(text, width, out + n, max - n);
        }
        n += SlotLines(f, width, max - n - 2 > 3 ? 3 : max - n - 2, out + n);
    } else {
        n += Wrap(StepText(TEXT_STACK), width, out + n, max - n);
        /* Leave p, the title of the printed and a line of them, and a line
         * counting the entries left out. */
        int room = max - n - 3;
        long shown = f.depth <= room ? f.depth : room > 1 ? room - 1 : 0;
        if (f.depth == 0) n += Wrap(StepText(TEXT_STACK_EMPTY), width, out + n, max - n);
        int pad = TextWidth(StepText(TEXT_STACK_TOP));
        for (long i = 0; i < shown; i++) {
            long d = f.depth - 1 - i;
            char data[8];
            int len = snprintf(out[n], LINE_MAX, "%*s%s", i ? pad : 0,
                               i ? "" : StepText(TEXT_STACK_TOP), Data(f.stack[d], data));
            if (f.flags) snprintf(out[n] + len, 16, "  k=%d", f.flags[d]);
            n++;
        }
        if (shown < f.depth) {
            snprintf(a1, sizeof a1, "%ld", f.depth - shown);
            Fill(text, LINE_MAX, StepText(TEXT_STACK_MORE), a1, "");
            n += Wrap(text, width, out + n, max - n);
        }
        char data[8];
        snprintf(text, LINE_MAX, "p = %s", f.p ? Data(f.p, data) : "NULL");
        n += Wrap(text, width, out + n, max - n);
    }
    n += Wrap(StepText(TEXT_PRINTED), width, out + n, max - n);
    return n + PrintedLines(f, width, max - n > 4 ? 4 : max - n, out + n);
}

/* The heading and the legend of the marks, on one line where they fit. */
static int Heading(const Frame &f, int width, DrawMark style, Line *out) {
    char legend[LINE_MAX];
    bool level = f.op == OP_LEVEL;
    if (style == MARK_BRACKETS) {
        snprintf(legend, sizeof legend, "%s", StepText(level ? TEXT_LEGEND_LEVEL : TEXT_LEGEND));
    } else { /* each word in the attributes of its state */
        static const unsigned kOrder[] = {NODE_CURRENT, NODE_P, NODE_STACKED, NODE_PRINTED};
        static const unsigned kLevelOrder[] = {NODE_CURRENT, NODE_PRINTED};
        const char *word = StepText(level ? TEXT_LEGEND_LEVEL_ATTR : TEXT_LEGEND_ATTR);
        int len = 0;
        const unsigned *order = level ? kLevelOrder : kOrder;
        for (int i = 0; i < (level ? 2 : 4); i++) {
            unsigned state = order[i];
            const char *end = strchr(word, '|');
            int wl = end ? (int)(end - word) : (int)strlen(word);
            const char *open, *close;
            StateMarks(state, style, &open, &close);
            len += snprintf(legend + len, sizeof legend - (size_t)len, "%s%s%.*s%s", len ? " " : "",
                            open, wl, word, close);
            word = end ? end + 1 : word + wl;
        }
    }
    int n = snprintf(out[0], LINE_MAX, "%s (%s)", StepText(f.walk->name), f.walk->function);
    if (TextWidth(out[0]) + 2 + TextWidth(legend) <= width - 1) {
        snprintf(out[0] + n, (size_t)(LINE_MAX - n), "  %s", legend);
        return 1;
    }
    if (TextWidth(out[0]) > width - 1) { /* the name alone, cut to the width */
        Line name;
        memcpy(name, out[0], sizeof name);
        Wrap(name, width - 1, out, 1);
    }
    if (TextWidth(legend) > width - 1) return 1;
    snprintf(out[1], LINE_MAX, "%s", legend);
    return 2;
}

static void PrintLines(Line *lines, int n) {
    for (int i = 0; i < n; i++)
        PrintLine(lines[i]);
}

/* The code with the right column beside it, the step's line marked; or
 * the right column alone (code_width 0). */
static void PrintBlock(const Frame &f, int code_width, Line *right, int nright, DrawMark style) {
    int code = code_width ? f.walk->code_lines : 0, mark = MarkedCodeLine(f);
    for (int i = 0; i < code || i < nright; i++) {
        Line line;
        int len = 0;
        if (code_width) {
            const char *text = i < code ? f.walk->code[i] : "";
            bool marked = i == mark;
            const char *on = marked && style == MARK_ATTRIBUTES ? "\x1b[7m" : "";
            const char *off = *on ? "\x1b[0m" : "";
            len = snprintf(line, sizeof line, "%s%s%-*s%s  ", on, marked ? "> " : "  ",
                           code_width - 2, text, off);
        }
        snprintf(line + len, sizeof line - (size_t)len, "%s", i < nright ? right[i] : "");
        int end = (int)strlen(line);
        while (end > 0 && line[end - 1] == ' ')
            line[--end] = '\0';
        PrintLine(line);
    }
}

int ShowFrame(const Frame &f, int width, int rows, DrawMark style, bool help) {
    static Line head[2], keys[4], sentence[PART_LINES], right[PART_LINES];
    char k[24], n[24];
    snprintf(k, sizeof k, "%ld", f.k);
    snprintf(n, sizeof n, "%ld", f.n);
    /* The help that stands for the keys line keeps k/N in view before it. */
    Line text;
    int at = help ? snprintf(text, LINE_MAX, "%s/%s  ", k, n) : 0;
    Fill(text + at, LINE_MAX - at,
         StepText(help         ? TEXT_KEYS_HELP
                  : f.k == f.n ? TEXT_KEYS_LAST
                               : TEXT_KEYS),
         k, n);
    int nhead = Heading(f, width, style, head), nkeys = Wrap(text, width - 1, keys, 4);
    int nsent = Wrap(f.sentence, width - 1, sentence, PART_LINES);
    int code_width = 0;
    for (int i = 0; i < f.walk->code_lines; i++) {
        int w = 2 + (int)strlen(f.walk->code[i]);
        if (w > code_width) code_width = w;
    }
    int left = rows - nhead - nkeys, max = left < PART_LINES ? left : PART_LINES;
    /* Parts drop in this order: the code, then the sentence; then the
     * picture takes a line per level, and they drop again. The last way
     * shows a line of the picture at least. */
    int levels = BiTreeDepth(f.T);
    for (int way = 0; way < 6; way++) {
        bool compact = way >= 3, with_code = way % 3 == 0, with_sentence = way % 3 < 2;
        if (with_code && code_width + 2 + 18 > width - 1) continue;
        int cw = with_code ? code_width : 0, rw = with_code ? width - 1 - cw - 2 : width - 1;
        /* The column is no taller than the code beside it, or than half
         * the lines left (8 at least) on its own, so the picture keeps its
         * room. */
        int tallest = with_code ? f.walk->code_lines : left / 2 > 8 ? left / 2 : 8;
        int nright = RightColumn(f, rw, tallest < max - 1 ? tallest : max - 1, right);
        int block = with_code && f.walk->code_lines > nright ? f.walk->code_lines : nright;
        int ns = with_sentence ? nsent : 0, pic = left - block - ns;
        if (!compact && (pic < 2 || !FramePicture(f, width, pic, style, false, false))) continue;
        if (compact && way < 5 && pic < (levels < 3 ? levels : 3)) continue;
        if (pic < 1) pic = 1;
        PrintLines(head, nhead);
        FramePicture(f, width, pic, style, compact, true);
        PrintBlock(f, cw, right, nright, style);
        PrintLines(sentence, ns);
        PrintLines(keys, nkeys);
        return nhead + pic + block + ns + nkeys;
    }
    return 0;
}

void ShowKeysHelp(long n, int width) {
    static Line lines[4];
    char steps[24];
    Line text;
    snprintf(steps, sizeof steps, "%ld", n);
    Fill(text, LINE_MAX, StepText(TEXT_KEYS_HELP), "", steps);
    PrintLines(lines, Wrap(text, width - 1, lines, 4));
}
