/* trace.cpp - see trace.h. Every row is built in a fixed buffer: its length
 * has a bound, whatever the height of the tree. */
#include "trace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console.h"
#include "output.h"
#include "label.h"
#include "lang.h"
#include "termsize.h"
#include "textwidth.h"

/* The five columns of a row. */
enum { COL_STEP, COL_ACTION, COL_P, COL_STACK, COL_OUTPUT, COLUMNS };

/* Longest field: "...N more " and TRACE_SHOWN elements of up to 6 bytes
 * (\xHH, a flag digit) and a blank each. */
#define FIELD_MAX (32 + 7 * TRACE_SHOWN)
#define ROW_MAX (COLUMNS * (FIELD_MAX + 2))

/* A trace in the making: the walk's output so far (the last TRACE_SHOWN
 * nodes printed, in a ring, and their count), the step count, the columns'
 * widths (found by a first run) and where the rows go. */
typedef struct {
    char recent[TRACE_SHOWN];
    long count;
    long steps;
    long total;         /* steps of the walk, known after the first run */
    int width[COLUMNS]; /* widest field of each column */
    bool measuring;     /* first run: widths only */
    int shown;          /* elements a list shows, at most TRACE_SHOWN */
    int screen_width;   /* rows are fewer columns than this (0: any) */
    int page;           /* rows on a screen: the header again on each (0: once) */
    int on_page;        /* lines printed since the header */
    bool wrapped;       /* no table fits the width: each row wrapped to it */
    char header[ROW_MAX];
} TraceState;

/* Writes a list of n elements of which only the last min(n, shown) are
 * shown (data in last, the last TRACE_SHOWN elements, oldest first, with
 * the flag digit of flags when it is not null), after "...N" for the
 * others; "-" for no element. Returns the length written, at most
 * FIELD_MAX. */
static int List(char *out, long n, const char *last, const int *flags, int shown) {
    if (n == 0) return snprintf(out, 2, "-");
    int len = 0;
    long left_out = n > shown ? n - shown : 0;
    if (left_out > 0) len += snprintf(out, 32, Tr("...另%ld个 "), left_out);
    last += n - left_out < TRACE_SHOWN ? TRACE_SHOWN - (n - left_out) : 0;
    if (flags) flags += n - left_out < TRACE_SHOWN ? TRACE_SHOWN - (n - left_out) : 0;
    for (long i = 0; i < n - left_out; i++) {
        if (i > 0) out[len++] = ' ';
        len += ElementText(out + len, last[i]);
        if (flags) out[len++] = (char)('0' + (flags[i] != 0));
    }
    out[len] = '\0';
    return len;
}

static void TraceVisit(BiTree p, void *ctx) {
    TraceState *t = (TraceState *)ctx;
    t->recent[t->count % TRACE_SHOWN] = p->data;
    t->count++;
}

/* The column titles of the header line, and the names of the actions, in
 * the session's language where they are shown. */
static const char *const kTitles[COLUMNS] = {"步骤", "操作", "p", "栈", "输出"};
static const char *const kActions[][2] = {{"push", "进栈"}, {"pop", "出栈"}, {"top", "读栈顶"}};

static const char *Action(const char *op) {
    for (const auto &a : kActions)
        if (strcmp(a[0], op) == 0) return Tr(a[1]);
    return op;
}

/* The columns of column c: its widest field or its title. */
static int Room(int c, const int width[COLUMNS]) {
    int title = TextWidth(Tr(kTitles[c]));
    return width[c] > title ? width[c] : title;
}

/* The columns a row takes. */
static int RowWidth(const int width[COLUMNS]) {
    int cols = width[COLUMNS - 1];
    for (int c = 0; c < COLUMNS - 1; c++)
        cols += Room(c, width) + 2;
    return cols;
}

/* Writes the fields at their columns (each starts two blanks after the
 * widest of its column and its title); no blanks after the last. */
static int Columns(char *line, const char *const field[COLUMNS], const int width[COLUMNS]) {
    int len = 0;
    for (int c = 0; c < COLUMNS; c++) {
        int n = (int)strlen(field[c]);
        memcpy(line + len, field[c], (size_t)n);
        len += n;
        if (c == COLUMNS - 1) break;
        int pad = Room(c, width) - TextWidth(field[c]) + 2;
        memset(line + len, ' ', (size_t)pad);
        len += pad;
    }
    line[len] = '\0';
    return len;
}

/* Prints a line of the table (a row, or the header), wrapped to the width
 * where no table fits it; first the header again where a screenful of
 * lines has gone by since it. */
static void TableLine(TraceState *t, const char *line, bool header) {
    int lines = t->wrapped ? FittedLines(line, t->screen_width) : 1;
    if (!header && t->page > 0 && t->on_page + lines > t->page - 1) TableLine(t, t->header, true);
    if (header) t->on_page = 0;
    if (t->wrapped)
        PrintFitted(line, t->screen_width, lines);
    else
        PrintLine(line);
    t->on_page += lines;
}

static void TraceStep(const char *op, BiTree node, BiTree p, SqStack S, const int *flags,
                      void *ctx) {
    TraceState *t = (TraceState *)ctx;
    t->steps++;
    char text[COLUMNS][FIELD_MAX + 8];
    snprintf(text[COL_STEP], sizeof text[0], "%ld", t->steps);
    int n = snprintf(text[COL_ACTION], sizeof text[0], "%s ", Action(op));
    ElementText(text[COL_ACTION] + n, node->data);
    if (p)
        ElementText(text[COL_P], p->data);
    else
        snprintf(text[COL_P], sizeof text[0], "^");
    char last[TRACE_SHOWN];
    long depth = StackLength(S), first = depth > TRACE_SHOWN ? depth - TRACE_SHOWN : 0;
    for (long i = first; i < depth; i++)
        last[i - first] = S.base[i]->data;
    int flag[TRACE_SHOWN];
    for (long i = first; i < depth && flags; i++)
        flag[i - first] = flags[i];
    /* The lists' last elements at the end of last and flag. */
    int kept = (int)(depth - first);
    memmove(last + TRACE_SHOWN - kept, last, (size_t)kept);
    if (flags) memmove(flag + TRACE_SHOWN - kept, flag, sizeof(int) * (size_t)kept);
    List(text[COL_STACK], depth, last, flags ? flag : nullptr, t->shown);
    first = t->count > TRACE_SHOWN ? t->count - TRACE_SHOWN : 0;
    kept = (int)(t->count - first);
    for (long i = first; i < t->count; i++)
        last[TRACE_SHOWN - kept + (i - first)] = t->recent[i % TRACE_SHOWN];
    List(text[COL_OUTPUT], t->count, last, nullptr, t->shown);
    if (t->measuring) {
        for (int c = 0; c < COLUMNS; c++) {
            int w = TextWidth(text[c]);
            if (w > t->width[c]) t->width[c] = w;
        }
        return;
    }
    const char *field[COLUMNS] = {text[0], text[1], text[2], text[3], text[4]};
    char row[ROW_MAX];
    Columns(row, field, t->width);
    TableLine(t, row, false);
}

/* width and page, TRACE_SCREEN taken as the screen's. */
static void OnScreen(int *width, int *page) {
    if (width && *width == TRACE_SCREEN) *width = GetTermSize().cols;
    if (page && *page == TRACE_SCREEN) *page = TerminalRows() > 2 ? TerminalRows() : 0;
}

/* The level-order trace: the positions of the level before, to find those
 * of the next one (the walk lists each level's nodes as the children of
 * the level before, in order). The arrays grow as needed. */
typedef struct {
    BiTree *node;
    int *pos;
    int n, size;
    int width; /* lines fewer columns than this (0: any) */
} LevelTrace;

static void TraceLevel(int k, BiTree const *nodes, int n, void *ctx) {
    LevelTrace *L = (LevelTrace *)ctx;
    int *pos = (int *)malloc(sizeof(int) * (size_t)(n > 0 ? n : 1));
    if (!pos) ExitOutOfMemory();
    if (k == 0) {
        pos[0] = 1;
    } else {
        int j = 0;
        for (int i = 0; i < L->n && j < n; i++) {
            if (L->node[i]->lchild) pos[j++] = ChildPosition(L->pos[i], 0);
            if (L->node[i]->rchild && j < n) pos[j++] = ChildPosition(L->pos[i], 1);
        }
    }
    char head[48];
    snprintf(head, sizeof head, Tr("第%d层："), k + 1); /* the root's level is 1 */
    PrintText(head);
    /* The labels a blank apart, on as many lines as the width asks, each
     * line after the first indented by 2. */
    int cols = TextWidth(head);
    for (int i = 0; i < n; i++) {
        char label[24];
        label[0] = ' ';
        int len = 1 + PlainLabel(label + 1, nodes[i]->data, pos[i]);
        if (L->width > 0 && cols + len > L->width - 1 && cols > 2) {
            PrintText("\n ");
            cols = 1;
        }
        PrintText(label);
        cols += len;
    }
    PrintText("\n");
    if (n > L->size) {
        BiTree *grown = (BiTree *)realloc(L->node, sizeof(BiTree) * (size_t)n);
        if (!grown) ExitOutOfMemory();
        L->node = grown;
        L->size = n;
    }
    memcpy(L->node, nodes, sizeof(BiTree) * (size_t)n);
    free(L->pos);
    L->pos = pos;
    L->n = n;
}

/* Runs walk on T to measure the columns, again with fewer elements to a
 * list while the rows are too wide (to the last one, then wrapped), and
 * once more to show the rows. */
static void DepthFirst(Status (*walk)(BiTree, const WalkWatch &), BiTree T, TraceState &t) {
    const WalkWatch w = {TraceVisit, TraceStep, nullptr, &t};
    t.wrapped = false;
    for (t.shown = TRACE_SHOWN;; t.shown /= 2) {
        memset(t.width, 0, sizeof t.width);
        t.count = t.steps = 0;
        t.measuring = true;
        walk(T, w);
        if (t.screen_width <= 0 || RowWidth(t.width) < t.screen_width) break;
        if (t.shown == 1) {
            t.wrapped = true;
            break;
        }
    }
    t.total = t.steps;
    if (t.total == 0) return;
    const char *titles[COLUMNS];
    for (int c = 0; c < COLUMNS; c++)
        titles[c] = Tr(kTitles[c]);
    Columns(t.header, titles, t.width);
    t.count = t.steps = 0;
    t.measuring = false;
    TableLine(&t, t.header, true);
    walk(T, w);
}

void TraceLevels(BiTree T, int width) {
    OnScreen(&width, nullptr);
    LevelTrace L = {nullptr, nullptr, 0, 0, width};
    const WalkWatch w = {nullptr, nullptr, TraceLevel, &L};
    LevelOrderWalk(T, w);
    free(L.node);
    free(L.pos);
}

void TraceWalk(Status (*walk)(BiTree, const WalkWatch &), BiTree T, int width, int page) {
    OnScreen(&width, &page);
    TraceState t;
    t.screen_width = width;
    t.page = page;
    DepthFirst(walk, T, t);
}
