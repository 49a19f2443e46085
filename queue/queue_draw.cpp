/* queue_draw.cpp - see queue_draw.h. */
#include "queue_draw.h"

#include <cstdio>

#include "console.h"

#define MIN_WIDTH 40 /* the header fits */
#define MAX_WIDTH 255
#define MAX_HEIGHT 256

/* How the elements are laid out: per_line cells of "ss:value" a line, the
 * values left-aligned in value_width columns. */
typedef struct {
    int per_line;
    int value_width;
} Layout;

/* Columns of the widest of the length elements from front. */
static int WidestValue(SqQueue Q, int length) {
    int widest = 1;
    for (int i = 0; i < length; i++) {
        int w = snprintf(nullptr, 0, "%d", Q.base[(Q.front + i) % MAXQSIZE]);
        if (w > widest) widest = w;
    }
    return widest;
}

/* Lines that count elements take, per_line a line. */
static int LinesFor(int count, int per_line) {
    return (count + per_line - 1) / per_line;
}

/* Prints the elements in slots from to to - 1 (from <= to), per_line a
 * line. */
static void PrintSlots(SqQueue Q, int from, int to, const Layout &L) {
    char line[MAX_WIDTH + 32];
    while (from < to) {
        int n = 0;
        for (int k = 0; k < L.per_line && from < to; k++, from++)
            n += snprintf(line + n, sizeof line - (size_t)n, "%2d:%-*d ", from, L.value_width,
                          Q.base[from]);
        while (n > 0 && line[n - 1] == ' ')
            n--; /* no trailing blanks */
        line[n] = '\0';
        PrintLine(line);
    }
}

/* Prints the slots from to to - 1 on at most lines lines: all of them when
 * they fit, else the first and the last ones with a line between that says
 * how many are left out, so that both ends stay in view. */
static void PrintRun(SqQueue Q, int from, int to, int lines, const Layout &L) {
    int count = to - from;
    if (LinesFor(count, L.per_line) <= lines) {
        PrintSlots(Q, from, to, L);
        return;
    }
    int head = lines / 2, tail = lines - 1 - head; /* lines of each end */
    if (tail < 0) tail = 0;
    int first = head * L.per_line, last = tail * L.per_line;
    PrintSlots(Q, from, from + first, L);
    int left_out = count - first - last;
    Print("... %d more element%s not shown\n", left_out, left_out == 1 ? "" : "s");
    PrintSlots(Q, to - last, to, L);
}

void DrawQueue(SqQueue Q, int width, int height) {
    if (!Q.base) {
        PrintLine("Queue Q: none (option 1 creates it)");
        return;
    }
    int length = QueueLength(Q);
    if (length == 0) {
        Print("Queue Q: front %d, rear %d, length 0 (empty)\n", Q.front, Q.rear);
        return;
    }
    width = width < MIN_WIDTH ? MIN_WIDTH : width > MAX_WIDTH ? MAX_WIDTH : width;
    height = height < 3 ? 3 : height > MAX_HEIGHT ? MAX_HEIGHT : height;
    Print("Queue Q: front %d, rear %d, length %d; slot:value from front:\n", Q.front, Q.rear,
          length);

    /* A cell is "ss:value" and a blank; the last one's blank is dropped, so
     * that per_line cells take fewer than width columns. */
    Layout L;
    L.value_width = WidestValue(Q, length);
    L.per_line = width / (2 + 1 + L.value_width + 1);
    /* The elements wrap when they go on from slot MAXQSIZE - 1 to slot 0: a
     * rear of 0 ends exactly at the last slot, with nothing after the wrap. */
    bool wraps = Q.front >= Q.rear && Q.rear > 0;
    int first = wraps ? MAXQSIZE - Q.front : length; /* elements before the wrap */
    int lines = height - 1;
    if (!wraps) {
        PrintRun(Q, Q.front, Q.front + first, lines, L);
        return;
    }
    /* Both runs keep their ends in view: the head, slot MAXQSIZE - 1, slot
     * 0 and the rear's element. The shorter run gets what it needs up to
     * half of the lines, the longer one the rest. */
    int before = LinesFor(first, L.per_line), after = LinesFor(Q.rear, L.per_line);
    int room = lines - 1, half = room / 2;
    if (before + after > room) {
        if (before <= half)
            after = room - before;
        else if (after <= room - half)
            before = room - after;
        else {
            before = room - half;
            after = half;
        }
    }
    PrintRun(Q, Q.front, MAXQSIZE, before, L);
    Print("  (wraps from slot %d to slot 0)\n", MAXQSIZE - 1);
    PrintRun(Q, 0, Q.rear, after, L);
}
