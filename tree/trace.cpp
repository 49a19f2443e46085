/* trace.cpp - see trace.h. Every line is built in a fixed buffer: its
 * length has a bound, whatever the height of the tree. */
#include "trace.h"

#include <cstdio>

#include "console.h"

/* The walk's output so far, as the trace shows it: the last TRACE_SHOWN
 * nodes printed (a ring) and how many there were in all. */
typedef struct {
    char recent[TRACE_SHOWN];
    long count;
} TraceState;

/* Writes " X" for data X at out, with data outside printable ASCII as
 * \xHH; returns its length (at most 5). */
static int Element(char *out, TElemType data) {
    unsigned char c = (unsigned char)data;
    if (c > 0x20 && c < 0x7F) return snprintf(out, 6, " %c", c);
    return snprintf(out, 6, " \\x%02X", c);
}

/* Writes a list of n elements of which only the last min(n, TRACE_SHOWN)
 * are shown, given in last oldest first, after " ...N more" for the others.
 * Returns the length written, at most LIST_MAX. */
#define LIST_MAX (20 + 5 * TRACE_SHOWN)
static int List(char *out, long n, const char *last) {
    int len = 0;
    long left_out = n > TRACE_SHOWN ? n - TRACE_SHOWN : 0;
    if (left_out > 0) len += snprintf(out, 21, " ...%ld more", left_out);
    for (long i = 0; i < n - left_out; i++)
        len += Element(out + len, last[i]);
    return len;
}

static void TraceVisit(BiTree p, void *ctx) {
    TraceState *t = (TraceState *)ctx;
    t->recent[t->count % TRACE_SHOWN] = p->data;
    t->count++;
}

/* One line: the operation and its node, the stack, the output so far. */
static void TraceStep(const char *op, BiTree p, SqStack S, void *ctx) {
    const TraceState *t = (const TraceState *)ctx;
    char last[TRACE_SHOWN];
    long n = StackLength(S), first = n > TRACE_SHOWN ? n - TRACE_SHOWN : 0;
    for (long i = first; i < n; i++)
        last[i - first] = S.base[i]->data;
    char line[2 * LIST_MAX + 32];
    int len = snprintf(line, 8, "%s", op);
    len += Element(line + len, p->data);
    len += snprintf(line + len, 8, " stack:");
    len += List(line + len, n, last);
    len += snprintf(line + len, 7, "  out:");
    first = t->count > TRACE_SHOWN ? t->count - TRACE_SHOWN : 0;
    for (long i = first; i < t->count; i++)
        last[i - first] = t->recent[i % TRACE_SHOWN];
    List(line + len, t->count, last);
    Print("%s\n", line);
}

static void TraceLevel(int k, BiTree const *nodes, int n, void *ctx) {
    (void)ctx;
    Print("level %d:", k);
    char element[8];
    for (int i = 0; i < n; i++) {
        Element(element, nodes[i]->data);
        Print("%s", element);
    }
    Print("\n");
}

void TraceWalk(Status (*walk)(BiTree, const WalkWatch &), BiTree T) {
    TraceState t;
    t.count = 0;
    const WalkWatch w = {TraceVisit, TraceStep, TraceLevel, &t};
    walk(T, w);
}
