/* queue_draw.cpp - see queue_draw.h. */
#include "queue_draw.h"

#include <cstdio>

#include "console.h"

#define MIN_WIDTH 40 /* the header fits */
#define MAX_WIDTH 255
#define MAX_HEIGHT 256

/* How the elements are laid out: per_line cells of "ss:value" a line, the
 * values left-aligned in value_width columns, and lines left for them (and
 * the wrap note). */
typedef struct {
    int per_line;
    int value_width;
    int lines;
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
 * line, while lines are left. Returns how many it printed. */
static int PrintSlots(SqQueue Q, int from, int to, Layout &L) {
    char line[MAX_WIDTH + 32];
    int printed = 0;
    while (from < to && L.lines > 0) {
        int n = 0;
        for (int k = 0; k < L.per_line && from < to; k++, from++, printed++)
            n += snprintf(line + n, sizeof line - (size_t)n, "%2d:%-*d ", from, L.value_width,
                          Q.base[from]);
        while (n > 0 && line[n - 1] == ' ')
            n--; /* no trailing blanks */
        line[n] = '\0';
        PrintLine(line);
        L.lines--;
    }
    return printed;
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
    bool wraps = Q.front >= Q.rear && Q.rear > 0;
    int first = wraps ? MAXQSIZE - Q.front : length; /* elements before the wrap */
    int needed = LinesFor(first, L.per_line) + (wraps ? 1 + LinesFor(Q.rear, L.per_line) : 0);
    /* Whatever does not fit leaves the last line to say so. */
    L.lines = needed <= height - 1 ? needed : height - 2;

    int printed = PrintSlots(Q, Q.front, Q.front + first, L);
    if (wraps && L.lines >= 2) {
        Print("  (wraps from slot %d to slot 0)\n", MAXQSIZE - 1);
        L.lines--;
        printed += PrintSlots(Q, 0, Q.rear, L);
    }
    if (printed < length)
        Print("... %d more element%s not shown\n", length - printed,
              length - printed == 1 ? "" : "s");
}
