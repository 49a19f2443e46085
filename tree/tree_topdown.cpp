/* tree_topdown.cpp - the top-down picture of tree_draw.h.
 *
 * The nodes are laid out by an inorder walk that stops as soon as they pass
 * the width or the levels the height, so that the work is bounded by the
 * screen; then each level is printed with the links to its children. */
#include <cstdio>
#include <cstring>

#include "console.h"
#include "tree_draw_parts.h"

/* Nodes a top-down picture can hold: each takes at least 5 columns of at
 * most MAX_WIDTH. */
#define TOP_DOWN_MAX (MAX_WIDTH / 5 + 1)

/* One node of the top-down picture: its slot, columns x to x + cols - 1
 * (in inorder), its plain label and the indexes of its children. */
typedef struct {
    BiTree node;
    int level; /* 1 for the root */
    int x, cols, len;
    int left, right; /* -1 for none */
    char label[24];
} TopNode;

/* The layout: its nodes and levels, and pad, the columns on either side of
 * each label (1 where nodes are marked with brackets, so that the marks move
 * nothing; the slots then touch, else a blank parts them). */
typedef struct {
    TopNode at[TOP_DOWN_MAX];
    int n;
    int levels;
    int pad;
    const NodeStates *states; /* null: no marks */
} TopDown;

/* Lays T out in inorder, left to right: false when the labels do not fit
 * fewer than width columns or the tree has more than max_levels levels.
 * The walk stops there, so the work is bounded by the width. */
static bool LayOut(BiTree T, int root_pos, int width, int max_levels, TopDown &D) {
    struct Frame {
        BiTree node;
        int level, pos;
    } stack[MAX_LINES];
    int sp = 0, x = 0;
    D.n = D.levels = 0;
    D.pad = D.states && D.states->style == MARK_BRACKETS ? 1 : 0;
    BiTree cur = T;
    int level = 1, pos = root_pos;
    while (cur || sp > 0) {
        for (; cur; cur = cur->lchild, level++, pos = ChildPosition(pos, 0)) {
            if (level > max_levels || level > MAX_LINES) return false;
            stack[sp++] = {cur, level, pos};
        }
        Frame f = stack[--sp];
        if (D.n == TOP_DOWN_MAX) return false;
        TopNode &t = D.at[D.n++];
        t.node = f.node;
        t.level = f.level;
        t.len = PlainLabel(t.label, f.node->data, f.pos);
        t.cols = t.len + 2 * D.pad;
        t.x = x == 0 ? 0 : x + 1 - D.pad; /* a blank apart, or touching */
        x = t.x + t.cols;
        if (x > width - 1) return false;
        if (f.level > D.levels) D.levels = f.level;
        cur = f.node->rchild;
        level = f.level + 1;
        pos = ChildPosition(f.pos, 1);
    }
    for (int i = 0; i < D.n; i++) {
        D.at[i].left = D.at[i].right = -1;
        for (int j = 0; j < D.n; j++) {
            if (D.at[j].node == D.at[i].node->lchild) D.at[i].left = j;
            if (D.at[j].node == D.at[i].node->rchild) D.at[i].right = j;
        }
    }
    return true;
}

/* Prints the rows of level: the labels, each joined to its children by a
 * run of '-' ending in '.' over the child (one row per level), or by a run
 * of '_' on this row and '/' or '\' over the child on a row of its own
 * (two rows per level, links true). */
static void PrintTopLevel(const TopDown &D, int level, bool links) {
    char row[MAX_WIDTH + 1], under[MAX_WIDTH + 1];
    char line[MAX_WIDTH + TOP_DOWN_MAX * 24]; /* escapes take no column */
    memset(row, ' ', sizeof row);
    memset(under, ' ', sizeof under);
    for (int i = 0; i < D.n; i++) {
        const TopNode &t = D.at[i];
        if (t.level != level) continue;
        for (int side = 0; side < 2; side++) {
            int c = side == 0 ? t.left : t.right;
            if (c < 0) continue;
            int mid = D.at[c].x + D.at[c].cols / 2; /* over the child's middle */
            int from = side == 0 ? mid : t.x + t.cols - D.pad,
                to = side == 0 ? t.x + D.pad - 1 : mid; /* into an unmarked pad */
            for (int k = from; k <= to; k++)
                row[k] = links ? '_' : '-';
            row[mid] = links ? ' ' : '.';
            if (links) under[mid] = side == 0 ? '/' : '\\';
        }
    }
    /* The row with its labels in place, each between the marks of its
     * states (in the pads where they are brackets). */
    int n = 0;
    for (int k = 0; k < MAX_WIDTH;) {
        int at = -1;
        for (int i = 0; i < D.n && at < 0; i++)
            if (D.at[i].level == level && D.at[i].x == k) at = i;
        if (at < 0) {
            line[n++] = row[k++];
            continue;
        }
        const TopNode &t = D.at[at];
        unsigned state = D.states ? D.states->state(t.node, D.states->ctx) : 0;
        const char *open = "", *close = "";
        if (state) StateMarks(state, D.states->style, &open, &close);
        if (D.pad) line[n++] = state ? open[0] : row[k];
        if (!D.pad) n += snprintf(line + n, 16, "%s", open);
        memcpy(line + n, t.label, (size_t)t.len);
        n += t.len;
        if (!D.pad) n += snprintf(line + n, 8, "%s", close);
        if (D.pad) line[n++] = state ? close[0] : row[k + t.cols - 1];
        k += t.cols;
    }
    while (n > 0 && line[n - 1] == ' ')
        n--;
    line[n] = '\0';
    PrintLine(line);
    if (!links || level == D.levels) return;
    n = MAX_WIDTH;
    while (n > 0 && under[n - 1] == ' ')
        n--;
    under[n] = '\0';
    PrintLine(under);
}

int DrawTopDown(BiTree T, int pos, int width, int height, const NodeStates *states, bool titled,
                bool print) {
    static TopDown D;
    D.states = states;
    if (!LayOut(T, pos, width, height - 1, D)) return 0;
    if (!print) return D.levels;
    bool links = 1 + 2 * D.levels - 1 <= height;
    if (titled) PrintTitle("树T，自上而下（结点写作 数据(位置)）：", "树T，自上而下：", width);
    for (int level = 1; level <= D.levels; level++)
        PrintTopLevel(D, level, links);
    return D.levels;
}
