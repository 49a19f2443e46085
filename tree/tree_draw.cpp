/* tree_draw.cpp - see tree_draw.h.
 *
 * The top-down picture is drawn by tree_topdown.cpp where it fits.
 * Otherwise the sideways picture shows levels 1 to `levels` of the tree:
 * as many as fit both the lines (one per node) and the width (each level indents 4 more, or 3 or 2
 * where that shows more levels). Those nodes are found level by level in two small arrays, then
 * printed in preorder from a small stack, so the work grows with the lines drawn only. When that
 * leaves levels out and a line per level shows more of them, the picture is drawn that way instead.
 */
#include "tree_draw.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "console.h"
#include "lang.h"
#include "textwidth.h"
#include "tree_draw_parts.h"

/* A node's label, marked by its states when states is not null (see
 * MarkedLabel). At most 40 bytes. */
static int Label(char *out, BiTree node, int pos, const NodeStates *states) {
    if (!states) return PlainLabel(out, node->data, pos);
    return MarkedLabel(out, node->data, pos, states->state(node, states->ctx), states->style);
}

/* The columns a mark adds to a label: 2 for brackets, none for escapes. */
static int MarkCols(const NodeStates *states) {
    return states && states->style == MARK_BRACKETS ? 2 : 0;
}

/* How a node line is indented: step columns per level; under a parent, a
 * bar where a later sibling of that level's node is still to come, else
 * blank; then the connector of a child that has a later sibling (mid) or
 * of the last child (last), '?' standing for its side, L or R. */
struct Indent {
    int step;
    const char *bar, *blank, *mid, *last;
};

/* Narrower steps give the deeper trees more levels on the same width. */
static const Indent kIndents[] = {
    {4, "|   ", "    ", "+-? ", "`-? "},
    {3, "|  ", "   ", "+? ", "`? "},
    {2, "| ", "  ", "? ", "? "},
};

/* The longest line a node on level can take with step columns per level:
 * indent, the widest data (\xHH), the widest position of the level, and the
 * " ..." mark. */
static int WorstLineWidth(int level, int step) {
    int digits = 1; /* "?" */
    if (level <= 31) {
        long long last = (1LL << level) - 1;
        if (last > INT_MAX) last = INT_MAX;
        digits = snprintf(nullptr, 0, "%lld", last);
    }
    return step * (level - 1) + 4 + 2 + digits + 4;
}

/* Number of children of the n nodes at nodes; when out is not null they are
 * stored there too, left before right. */
static int Children(BiTree const *nodes, int n, BiTree *out) {
    int count = 0;
    for (int i = 0; i < n; i++) {
        BiTree kids[2] = {nodes[i]->lchild, nodes[i]->rchild};
        for (BiTree c : kids) {
            if (!c) continue;
            if (out) out[count] = c;
            count++;
        }
    }
    return count;
}

/* How many levels lie below the n nodes at last, found breadth first with
 * at most DRAW_COUNT_BUDGET nodes held. *more_than is set when the budget
 * ran out: there are then more levels than the result. The nodes are held
 * in a fixed array, so that a picture never depends on free memory. */
static long LevelsBelow(BiTree const *last, int n, bool *more_than) {
    static BiTree q[DRAW_COUNT_BUDGET];
    *more_than = false;
    long end = Children(last, n, q); /* at most 2 * MAX_LINES, within budget */
    long begin = 0, levels = 0;
    while (begin < end) {
        levels++; /* q[begin, end) is one whole level */
        long next = end;
        for (long i = begin; i < end && !*more_than; i++) {
            BiTree kids[2] = {q[i]->lchild, q[i]->rchild};
            for (BiTree c : kids) {
                if (!c) continue;
                if (next == DRAW_COUNT_BUDGET) {
                    *more_than = true; /* a further level exists */
                    break;
                }
                q[next++] = c;
            }
        }
        if (*more_than) break;
        begin = end;
        end = next;
    }
    return levels;
}

/* One node to print: its level (root 1), position, side ('L' or 'R', 0 for
 * the root) and whether it is the last child of its parent. */
struct DrawFrame {
    BiTree node;
    int level;
    int pos;
    char side;
    bool last;
};

/* Prints the levels 1 to levels of T in preorder, one node per line; T
 * stands at position pos. */
static void PrintLevels(BiTree T, int pos, int levels, const Indent &in, const NodeStates *states) {
    DrawFrame stack[MAX_LINES]; /* each frame is a node that gets a line */
    bool more[MAX_LINES + 1];   /* more[l]: a sibling on level l is still to come */
    int sp = 0;
    stack[sp++] = {T, 1, pos, 0, true};
    while (sp > 0) {
        DrawFrame f = stack[--sp];
        char line[MAX_WIDTH + 64];
        int n = 0;
        for (int l = 2; l < f.level; l++, n += in.step)
            memcpy(line + n, more[l] ? in.bar : in.blank, (size_t)in.step);
        if (f.level > 1) {
            memcpy(line + n, f.last ? in.last : in.mid, (size_t)in.step);
            *(char *)memchr(line + n, '?', (size_t)in.step) = f.side;
            n += in.step;
        }
        n += Label(line + n, f.node, f.pos, states);
        BiTree l = f.node->lchild, r = f.node->rchild;
        if (f.level == levels && (l || r)) n += snprintf(line + n, 8, " ...");
        line[n] = '\0';
        PrintLine(line);
        more[f.level] = !f.last;
        if (f.level == levels) continue;
        if (r) stack[sp++] = {r, f.level + 1, ChildPosition(f.pos, 1), 'R', true};
        if (l) stack[sp++] = {l, f.level + 1, ChildPosition(f.pos, 0), 'L', r == nullptr};
    }
}

/* How many whole levels from the root fit height lines of fewer than width
 * columns when indented by step and marks take mark_cols: the header, a
 * line per node, and the footer when levels are left out (*cut is then
 * set). cur gets the nodes of the last level shown, *ncur of them. */
static int FitLevels(BiTree T, int width, int height, int step, int mark_cols, BiTree *cur,
                     int *ncur, bool *cut) {
    BiTree next[MAX_LINES];
    int shown = 1, levels = 1;
    cur[0] = T;
    *ncur = 1;
    *cut = false;
    for (;;) {
        int n = Children(cur, *ncur, nullptr);
        if (n == 0) return levels;
        /* The level fits when its lines and the header do, and the footer
         * too unless it is the last level. */
        if (shown + n > height - 1 || WorstLineWidth(levels + 1, step) + mark_cols > width - 1)
            break;
        Children(cur, *ncur, next);
        if (shown + n > height - 2 && Children(next, n, nullptr) > 0) break;
        memcpy(cur, next, sizeof(BiTree) * (size_t)n);
        *ncur = n;
        shown += n;
        levels++;
    }
    *cut = true;
    return levels;
}

/* The nodes of one level, left to right, and their positions. */
typedef struct {
    BiTree node[MAX_LINES];
    int pos[MAX_LINES];
    int n;
} Level;

/* Makes next the level below cur. cur holds at most MAX_LINES / 2 nodes. */
static void NextLevel(const Level &cur, Level &next) {
    next.n = (int)ChildrenOf(cur.node, cur.pos, cur.n, next.node, next.pos);
}

/* The length of L's line, its labels a blank apart; the line is written to
 * out (room for width characters and a label more) unless out is null.
 * Writing stops once the line is longer than width. */
static int LevelLine(const Level &L, int width, const NodeStates *states, char *out) {
    char label[48];
    int len = 0, cols = 0;
    for (int i = 0; i < L.n && cols <= width; i++) {
        int n = Label(label, L.node[i], L.pos[i], states);
        if (out && i > 0) out[len] = ' ';
        len += i > 0;
        cols += i > 0;
        if (out) memcpy(out + len, label, (size_t)n);
        len += n;
        cols += TextWidth(label);
    }
    if (out) out[len] = '\0';
    return cols;
}

/* The picture by levels: a line per level, as many whole levels from the
 * root as fit height lines (header, levels, and the footer when levels are
 * left out) of fewer than width columns. Returns their number; prints them
 * when print is set; last gets the last level shown, and *cut is set when
 * levels are left out. A level line holds at most width / 5 nodes, so the
 * levels fit their arrays. */
static int ByLevels(BiTree T, int pos, int width, int height, const NodeStates *states, bool print,
                    Level &last, bool *cut) {
    Level levels[2];
    int shown = 0;
    Level *cur = &levels[0], *next = &levels[1];
    cur->node[0] = T;
    cur->pos[0] = pos;
    cur->n = 1;
    *cut = true;
    while (LevelLine(*cur, width - 1, states, nullptr) <= width - 1) {
        NextLevel(*cur, *next);
        /* The header, the levels so far and this one, the footer if more. */
        if (1 + shown + 1 + (next->n > 0) > height) break;
        if (print) {
            static char line[MAX_WIDTH + MAX_WIDTH / 5 * 48]; /* escapes take no column */
            LevelLine(*cur, width - 1, states, line);
            PrintLine(line);
        }
        shown++;
        last = *cur;
        if (next->n == 0) {
            *cut = false;
            break;
        }
        Level *swap = cur;
        cur = next;
        next = swap;
    }
    return shown;
}

/* The footer of a picture cut after the n nodes at last, at least one of
 * which has a child: how many levels are left out, on one line of fewer
 * than width columns (briefly where the full sentence does not fit). */
static void PrintLeftOut(BiTree const *last, int n, int width) {
    bool more_than;
    long below = LevelsBelow(last, n, &more_than);
    const char *full = more_than    ? "...还有超过%ld层未画出"
                       : below == 1 ? "...还有1层未画出"
                                    : "...还有%ld层未画出";
    const char *brief = more_than ? "...超过%ld层" : "...另%ld层";
    char text[96];
    snprintf(text, sizeof text, Tr(full), below);
    if (TextWidth(text) >= width) snprintf(text, sizeof text, Tr(brief), below);
    PrintFitted(text, width, 1);
}

/* The picture of T, whose root stands at position pos, with its header
 * line when titled (height counts it either way); printed only when print
 * is set. Returns how many levels from the root it shows. */
static int Draw(BiTree T, int pos, int width, int height, const NodeStates *states, bool titled,
                bool print) {
    width = width < DRAW_MIN_WIDTH ? DRAW_MIN_WIDTH : width > MAX_WIDTH ? MAX_WIDTH : width;
    height = height < 3 ? 3 : height > MAX_LINES ? MAX_LINES : height;
    int top_down = DrawTopDown(T, pos, width, height, states, titled, print);
    if (top_down) return top_down;

    /* The widest indent that shows the most levels. */
    BiTree cur[MAX_LINES];
    int ncur, best = 0, levels = 0, mark_cols = MarkCols(states);
    bool cut;
    for (int i = 0; i < (int)(sizeof kIndents / sizeof kIndents[0]); i++) {
        int fit = FitLevels(T, width, height, kIndents[i].step, mark_cols, cur, &ncur, &cut);
        if (fit > levels) {
            levels = fit;
            best = i;
        }
    }
    FitLevels(T, width, height, kIndents[best].step, mark_cols, cur, &ncur, &cut);

    /* A line per level instead, where that shows more of the tree. */
    Level last;
    bool by_levels_cut;
    int by_levels = cut ? ByLevels(T, pos, width, height, states, false, last, &by_levels_cut) : 0;
    if (by_levels > levels) {
        if (!print) return by_levels;
        if (titled) PrintTitle("树T，按层（结点写作 数据(位置)）：", "树T，按层：", width);
        ByLevels(T, pos, width, height, states, true, last, &by_levels_cut);
        if (by_levels_cut) PrintLeftOut(last.node, last.n, width);
        return by_levels;
    }
    if (!print) return levels;
    if (titled)
        PrintTitle("树T，横放（结点写作 数据(位置)；L、R：左、右孩子）：", "树T，横放：", width);
    PrintLevels(T, pos, levels, kIndents[best], states);
    if (cut) PrintLeftOut(cur, ncur, width);
    return levels;
}

void DrawBiTree(BiTree T, int width, int height, const NodeStates *states) {
    int fit = width < DRAW_MIN_WIDTH ? DRAW_MIN_WIDTH : width > MAX_WIDTH ? MAX_WIDTH : width;
    if (!T) {
        PrintFitted("树T：不存在（选项1和3建立它）", fit, height < 1 ? 1 : height);
        return;
    }
    if (T->data == '#' && !T->lchild && !T->rchild) {
        PrintFitted("树T：空树（根结点为#）", fit, height < 1 ? 1 : height);
        return;
    }
    Draw(T, 1, width, height, states, true, true);
}

void DrawSubtree(BiTree R, int pos, int width, int height, const NodeStates *states) {
    Draw(R, pos, width, height + 1, states, false, true);
}

int SubtreeLevelsShown(BiTree R, int pos, int width, int height, const NodeStates *states) {
    return Draw(R, pos, width, height + 1, states, false, false);
}
