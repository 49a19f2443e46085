/* queue_draw.cpp - see queue_draw.h. */
#include "queue_draw.h"

#include <cstdio>

#include "console.h"

#define PER_LINE 5 /* "99:-2147483648 " is 15 columns: five fit in 79 */

/* Prints the elements in slots from to to - 1 (from <= to), five a line. */
static void PrintSlots(SqQueue Q, int from, int to) {
    char line[PER_LINE * 16 + 1];
    while (from < to) {
        int n = 0;
        for (int k = 0; k < PER_LINE && from < to; k++, from++)
            n += snprintf(line + n, sizeof line - (size_t)n, "%2d:%-11d ", from, Q.base[from]);
        while (n > 0 && line[n - 1] == ' ')
            n--; /* no trailing blanks */
        line[n] = '\0';
        PrintLine(line);
    }
}

void DrawQueue(SqQueue Q) {
    if (!Q.base) {
        PrintLine("Queue Q: none (option 1 creates it)");
        return;
    }
    int length = QueueLength(Q);
    if (length == 0) {
        Print("Queue Q: front %d, rear %d, length 0 (empty)\n", Q.front, Q.rear);
        return;
    }
    Print("Queue Q: front %d, rear %d, length %d; slot:value from front:\n", Q.front, Q.rear,
          length);
    if (Q.front < Q.rear) {
        PrintSlots(Q, Q.front, Q.rear);
        return;
    }
    PrintSlots(Q, Q.front, MAXQSIZE);
    if (Q.rear == 0) return; /* the last element is in the last slot */
    Print("  (wraps from slot %d to slot 0)\n", MAXQSIZE - 1);
    PrintSlots(Q, 0, Q.rear);
}
