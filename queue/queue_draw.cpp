/* queue_draw.cpp - see queue_draw.h.
 *
 * The slots are laid out in rows of cells, slot 0 first. When the rows do
 * not all fit, the rows that hold front, rear, the last element, the slot
 * kept free and (where the elements wrap) slots 99 and 0 are chosen first,
 * then their neighbours while the lines allow; each run of rows left out
 * becomes one line that counts its elements. */
#include "queue_draw.h"

#include <cstdio>

#include "console.h"
#include "lang.h"
#include "textwidth.h"

#define MIN_WIDTH 20
#define MAX_WIDTH 255
#define MAX_HEIGHT 256

/* How the slots are laid out: per_line cells a line, the values in
 * value_width columns, rows lines in all. */
typedef struct {
    SqQueue Q;
    int length;
    int per_line;
    int value_width;
    int rows;
    int width;
} Ring;

/* Whether slot i holds an element. */
static bool Held(const Ring &R, int i) {
    return (i - R.Q.front + MAXQSIZE) % MAXQSIZE < R.length;
}

/* Columns of the widest element. */
static int WidestValue(const Ring &R) {
    int widest = 1;
    for (int i = 0; i < MAXQSIZE; i++) {
        int w = Held(R, i) ? snprintf(nullptr, 0, "%d", R.Q.base[i]) : 1;
        if (w > widest) widest = w;
    }
    return widest;
}

/* Writes the cell of slot i at out: its mark (F front, R rear, = both, as
 * in an empty queue), its number,
 * ':' and its value, '*' for the slot kept free, blank for an empty slot.
 * Returns its length. */
static int Cell(const Ring &R, int i, char *out) {
    char mark = i == R.Q.front ? (i == R.Q.rear ? '=' : 'F') : i == R.Q.rear ? 'R' : ' ';
    if (Held(R, i)) return sprintf(out, "%c%2d:%-*d", mark, i, R.value_width, R.Q.base[i]);
    bool kept_free = (i + 1) % MAXQSIZE == R.Q.front;
    return sprintf(out, "%c%2d:%-*s", mark, i, R.value_width, kept_free ? "*" : "");
}

/* Prints row r of cells, without blanks at its end. */
static void PrintRow(const Ring &R, int r) {
    char line[MAX_WIDTH + 32];
    int n = 0;
    for (int i = r * R.per_line; i < (r + 1) * R.per_line && i < MAXQSIZE; i++) {
        if (n > 0) line[n++] = ' ';
        n += Cell(R, i, line + n);
    }
    while (n > 0 && line[n - 1] == ' ')
        n--;
    line[n] = '\0';
    PrintLine(line);
}

/* The line that stands for rows first to last, left out: their slots and
 * how many elements they hold. Written to out (size bytes). */
static void LeftOutText(const Ring &R, int first, int last, char *out, size_t size) {
    int from = first * R.per_line, to = (last + 1) * R.per_line - 1;
    if (to > MAXQSIZE - 1) to = MAXQSIZE - 1;
    int held = 0;
    for (int i = from; i <= to; i++)
        held += Held(R, i);
    if (held == 0)
        snprintf(out, size, Tr("...第%d~%d格：空"), from, to);
    else if (held == 1)
        snprintf(out, size, Tr("...第%d~%d格：1个元素"), from, to);
    else
        snprintf(out, size, Tr("...第%d~%d格：%d个元素"), from, to, held);
}

/* Lines that the rows marked in shown take, with a line for each run of
 * rows left out; printed when print is set. */
static int RowLines(const Ring &R, const bool *shown, bool print) {
    int lines = 0;
    for (int r = 0; r < R.rows;) {
        if (shown[r]) {
            if (print) PrintRow(R, r);
            lines++;
            r++;
            continue;
        }
        int last = r;
        while (last + 1 < R.rows && !shown[last + 1])
            last++;
        char text[128];
        LeftOutText(R, r, last, text, sizeof text);
        lines += print ? PrintFitted(text, R.width, 1 << 30) : FittedLines(text, R.width);
        r = last + 1;
    }
    return lines;
}

/* Chooses the rows to show on at most lines lines: those of the slots that
 * matter first, in this order, then their neighbours, nearest first. With
 * lines 0, the rows of those slots alone, whatever lines they take. */
static void ChooseRows(const Ring &R, int lines, bool *shown) {
    const SqQueue &Q = R.Q;
    /* front, the last element (for an empty queue the slot kept free),
     * rear, the slot kept free, and both sides of the wrap where the
     * elements wrap. */
    int key[6] = {Q.front,
                  Q.rear,
                  (Q.front + MAXQSIZE - 1) % MAXQSIZE,
                  (Q.rear + MAXQSIZE - 1) % MAXQSIZE,
                  MAXQSIZE - 1,
                  0};
    bool wraps = Q.front + R.length > MAXQSIZE;
    int keys = R.length == 0 ? 3 : wraps ? 6 : 4;
    for (int r = 0; r < R.rows; r++)
        shown[r] = false;
    for (int d = 0; d < R.rows; d++)
        for (int k = 0; k < keys; k++)
            for (int side = -1; side <= 1; side += 2) {
                int r = key[k] / R.per_line + side * d;
                if (r < 0 || r >= R.rows || shown[r]) continue;
                shown[r] = true;
                bool keys_only = lines == 0 && d == 0;
                if (!keys_only && RowLines(R, shown, false) > lines) shown[r] = false;
            }
}

/* The line above the cells: front, rear, the length and whether the queue
 * is empty or full, with the condition that says so. Returns the lines it
 * takes, and prints it (at most max_lines) when print is set. */
static int Title(const Ring &R, bool print, int max_lines) {
    char title[160];
    const char *state = R.length == 0              ? "空：front == rear"
                        : R.length == MAXQSIZE - 1 ? "满：(rear+1)%MAXQSIZE == front"
                                                   : "非空非满";
    snprintf(title, sizeof title, Tr("队列Q：front=%d，rear=%d，长度%d；%s"), R.Q.front, R.Q.rear,
             R.length, Tr(state));
    return print ? PrintFitted(title, R.width, max_lines) : FittedLines(title, R.width);
}

/* What the marks mean, under the title: front and rear share a slot only
 * in an empty queue. */
static const char kLegend[] = "F：front  R：rear  *：留空的一格";
static const char kLegendEmpty[] = "=：front 与 rear 同在此格  *：留空的一格";

void DrawQueue(SqQueue Q, int width, int height) {
    width = width < MIN_WIDTH ? MIN_WIDTH : width > MAX_WIDTH ? MAX_WIDTH : width;
    height = height < 1 ? 1 : height > MAX_HEIGHT ? MAX_HEIGHT : height;
    if (!Q.base) {
        PrintFitted("队列Q：不存在（选项1创建它）", width, height);
        return;
    }
    Ring R;
    R.Q = Q;
    R.length = QueueLength(Q);
    R.width = width;
    R.value_width = WidestValue(R);
    /* A cell is a mark, the slot in 2 columns, ':' and the value; a blank
     * parts two cells, so that per_line cells take fewer than width
     * columns. */
    R.per_line = width / (4 + R.value_width + 1);
    R.rows = (MAXQSIZE + R.per_line - 1) / R.per_line;
    int lines = height - Title(R, true, height);
    bool shown[MAXQSIZE];
    for (int r = 0; r < R.rows; r++)
        shown[r] = true;
    int all = RowLines(R, shown, false);
    ChooseRows(R, 0, shown); /* the rows that matter, and the lines they take */
    int least = RowLines(R, shown, false);
    /* The legend where it leaves room for those rows. */
    const char *marks = R.length == 0 ? kLegendEmpty : kLegend;
    int legend = FittedLines(marks, width);
    if (lines - legend >= (all < least ? all : least)) lines -= PrintFitted(marks, width, legend);
    if (lines < 1) return;
    for (int r = 0; r < R.rows; r++)
        shown[r] = true;
    if (all > lines) ChooseRows(R, lines, shown);
    RowLines(R, shown, true);
}
