/* trace.cpp - see trace.h. Every row is built in a fixed buffer: its length
 * has a bound, whatever the height of the tree. */
#include "trace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console.h"
#include "output.h"
#include "label.h"

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
    char header[ROW_MAX];
} TraceState;

/* Writes a list of n elements of which only the last min(n, TRACE_SHOWN)
 * are shown (data in last, oldest first, with the flag digit of flags when
 * it is not null), after "...N more" for the others; "-" for no element.
 * Returns the length written, at most FIELD_MAX. */
static int List(char *out, long n, const char *last, const int *flags) {
    if (n == 0) return snprintf(out, 2, "-");
    int len = 0;
    long left_out = n > TRACE_SHOWN ? n - TRACE_SHOWN : 0;
    if (left_out > 0) len += snprintf(out, 32, "...%ld more ", left_out);
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

/* The column titles of the header line. */
static const char *const kTitles[COLUMNS] = {"step", "action", "p", "stack", "output"};

/* Writes the fields at their columns (each starts two blanks after the
 * widest of its column and its title); no blanks after the last. */
static int Columns(char *line, const char *const field[COLUMNS], const int width[COLUMNS]) {
    int len = 0;
    for (int c = 0; c < COLUMNS; c++) {
        int n = (int)strlen(field[c]);
        memcpy(line + len, field[c], (size_t)n);
        if (c == COLUMNS - 1) {
            len += n;
            break;
        }
        int room = width[c] > (int)strlen(kTitles[c]) ? width[c] : (int)strlen(kTitles[c]);
        memset(line + len + n, ' ', (size_t)(room - n + 2));
        len += room + 2;
    }
    line[len] = '\0';
    return len;
}

static void TraceStep(const char *op, BiTree node, BiTree p, SqStack S, const int *flags,
                      void *ctx) {
    TraceState *t = (TraceState *)ctx;
    t->steps++;
    char text[COLUMNS][FIELD_MAX + 8];
    snprintf(text[COL_STEP], sizeof text[0], "%ld", t->steps);
    int n = snprintf(text[COL_ACTION], sizeof text[0], "%s ", op);
    ElementText(text[COL_ACTION] + n, node->data);
    if (p)
        ElementText(text[COL_P], p->data);
    else
        snprintf(text[COL_P], sizeof text[0], "^");
    char last[TRACE_SHOWN];
    long depth = StackLength(S), first = depth > TRACE_SHOWN ? depth - TRACE_SHOWN : 0;
    for (long i = first; i < depth; i++)
        last[i - first] = S.base[i]->data;
    List(text[COL_STACK], depth, last, flags ? flags + first : nullptr);
    first = t->count > TRACE_SHOWN ? t->count - TRACE_SHOWN : 0;
    for (long i = first; i < t->count; i++)
        last[i - first] = t->recent[i % TRACE_SHOWN];
    List(text[COL_OUTPUT], t->count, last, nullptr);
    if (t->measuring) {
        for (int c = 0; c < COLUMNS; c++) {
            int w = (int)strlen(text[c]);
            if (w > t->width[c]) t->width[c] = w;
        }
        return;
    }
    const char *field[COLUMNS] = {text[0], text[1], text[2], text[3], text[4]};
    char row[ROW_MAX];
    Columns(row, field, t->width);
    PrintLine(row);
}

/* The level-order trace: the positions of the level before, to find those
 * of the next one (the walk lists each level's nodes as the children of
 * the level before, in order). The arrays grow as needed. */
typedef struct {
    BiTree *node;
    int *pos;
    int n, size;
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
    Print("level %d:", k);
    for (int i = 0; i < n; i++) {
        char label[24];
        label[0] = ' ';
        PlainLabel(label + 1, nodes[i]->data, pos[i]);
        PrintText(label);
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

/* Runs walk twice on T: to measure the columns, then to show the rows. */
static void DepthFirst(Status (*walk)(BiTree, const WalkWatch &), BiTree T, TraceState &t) {
    memset(t.width, 0, sizeof t.width);
    t.count = t.steps = 0;
    t.measuring = true;
    const WalkWatch w = {TraceVisit, TraceStep, nullptr, &t};
    walk(T, w);
    t.total = t.steps;
    if (t.total == 0) return;
    Columns(t.header, kTitles, t.width);
    t.count = t.steps = 0;
    t.measuring = false;
    PrintLine(t.header);
    walk(T, w);
}

void TraceLevels(BiTree T) {
    LevelTrace L = {nullptr, nullptr, 0, 0};
    const WalkWatch w = {nullptr, nullptr, TraceLevel, &L};
    LevelOrderWalk(T, w);
    free(L.node);
    free(L.pos);
}

void TraceWalk(Status (*walk)(BiTree, const WalkWatch &), BiTree T) {
    TraceState t;
    DepthFirst(walk, T, t);
}
