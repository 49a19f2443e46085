/* step_picture.cpp - the tree of a --step frame (step_frame.h), with the
 * step's node always in view: the whole tree where it fits, else the part
 * under one of the node's ancestors, or a line per level around the node's
 * level. */
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Bitree.h"
#include "console.h"
#include "output.h"
#include "step_frame.h"
#include "textwidth.h"
#include "tree_draw.h"

/* Whether node is among the n at nodes. */
static bool Among(BiTree node, BiTree const *nodes, long n) {
    for (long i = 0; i < n; i++)
        if (nodes[i] == node) return true;
    return false;
}

/* The states of a node at the frame's step (NodeState bits); ctx is the
 * Frame. */
static unsigned FrameState(BiTree node, const void *ctx) {
    const Frame &f = *(const Frame *)ctx;
    unsigned state = Among(node, f.printed, f.nprinted) ? NODE_PRINTED : 0;
    if (f.op == OP_LEVEL) return state | (Among(node, f.nodes, f.nnodes) ? NODE_CURRENT : 0);
    if (node == f.node) state |= NODE_CURRENT;
    if (node == f.p) state |= NODE_P;
    if (Among(node, f.stack, f.depth)) state |= NODE_STACKED;
    return state;
}

/* A part of a deep tree is drawn with at least this many lines. */
#define PART_MIN_ROWS 5

/* The path from the root to a node: the postorder walk's stack when it
 * pushes the node holds exactly that path. */
typedef struct {
    BiTree target;
    BiTree *path;
    long n;
} PathSearch;

static void KeepPath(const char *op, BiTree node, BiTree next, SqStack S, const int *flags,
                     void *ctx) {
    (void)next;
    (void)flags;
    PathSearch *s = (PathSearch *)ctx;
    if (s->path || node != s->target || strcmp(op, "push") != 0) return;
    s->n = StackLength(S);
    s->path = (BiTree *)malloc(sizeof(BiTree) * (size_t)s->n);
    if (!s->path) ExitOutOfMemory();
    memcpy(s->path, S.base, sizeof(BiTree) * (size_t)s->n);
}

/* The path from T to node (T first), *n nodes long; malloc'd. */
static BiTree *PathTo(BiTree T, BiTree node, long *n) {
    PathSearch s = {node, nullptr, 0};
    const WalkWatch w = {nullptr, KeepPath, nullptr, &s};
    PostOrderWalk(T, w);
    *n = s.n;
    return s.path;
}

/* The node the picture keeps in view: the step's, or the level's first. */
static BiTree Focus(const Frame &f) {
    return f.op == OP_LEVEL ? f.nodes[0] : f.node;
}

/* The position of path[i], found from the root down. */
static int PathPosition(BiTree const *path, long i) {
    int pos = 1;
    for (long j = 1; j <= i; j++)
        pos = ChildPosition(pos, path[j] == path[j - 1]->rchild);
    return pos;
}

/* The picture of tree_draw.h: the subtree of the highest ancestor of the
 * focus whose picture still shows the focus, with a line naming that part
 * when it is not the whole tree. false where it would not be seen well:
 * too narrow, or too few lines for a row per level (of the first five). */
static bool FullPicture(const Frame &f, int width, int rows, const NodeStates *states, bool print) {
    /* A row per level, up to PART_MIN_ROWS of them, at least. */
    int levels = BiTreeDepth(f.T);
    if (width < DRAW_MIN_WIDTH || rows < (levels < PART_MIN_ROWS ? levels : PART_MIN_ROWS))
        return false;
    long n;
    BiTree *path = PathTo(f.T, Focus(f), &n);
    long d = n - 1; /* the focus's depth */
    bool found = false;
    for (long j = d < rows - 1 ? d : rows - 1; j >= 0 && !found; j--) {
        bool part = j < d;
        if (part && rows < PART_MIN_ROWS) break;
        BiTree R = path[d - j];
        int pos = PathPosition(path, d - j);
        char line[256] = "";
        if (part) { /* the line that names the part, on as many rows as it takes */
            char label[48], level[24];
            PlainLabel(label, R->data, pos);
            snprintf(level, sizeof level, "%ld", d - j + 1);
            Fill(line, sizeof line, StepText(TEXT_PART), label, level);
        }
        int avail = rows - (part ? FittedLines(line, width) : 0);
        if (avail < 1 || SubtreeLevelsShown(R, pos, width, avail, states) <= j) continue;
        found = true;
        if (!print) break;
        if (part) PrintFitted(line, width, rows);
        DrawSubtree(R, pos, width, avail, states);
    }
    free(path);
    return found;
}

/* One level of the tree: its nodes left to right and their positions. */
typedef struct {
    BiTree *node;
    int *pos;
    long n;
} LevelNodes;

/* Makes next the level under cur (next's arrays are malloc'd). */
static void Below(const LevelNodes &cur, LevelNodes &next) {
    long count = 0;
    for (long i = 0; i < cur.n; i++)
        count += (cur.node[i]->lchild != nullptr) + (cur.node[i]->rchild != nullptr);
    next.node = (BiTree *)malloc(sizeof(BiTree) * (size_t)(count + 1));
    next.pos = (int *)malloc(sizeof(int) * (size_t)(count + 1));
    if (!next.node || !next.pos) ExitOutOfMemory();
    next.n = ChildrenOf(cur.node, cur.pos, cur.n, next.node, next.pos);
}

/* Writes the label of L's node i, with the marks of its state, at out;
 * returns its length. */
static int LevelLabel(char *out, const LevelNodes &L, long i, const NodeStates *states) {
    return MarkedLabel(out, L.node[i]->data, L.pos[i], FrameState(L.node[i], states->ctx),
                       states->style);
}

/* Writes the line of level number lv (from 1): "lv: " and its labels, a
 * blank apart, in fewer than width columns; where they do not all fit,
 * those around the node keep, with "..." for those left out. */
static void LevelLine(const LevelNodes &L, long lv, BiTree keep, int width,
                      const NodeStates *states, char *line) {
    int len = snprintf(line, 24, "%ld: ", lv), cols = len;
    long at = 0;
    for (long i = 0; i < L.n; i++)
        if (L.node[i] == keep) at = i;
    /* The columns of each label, and the first label shown: as far left of
     * the kept one as fits with room for the marks of left-out labels. */
    char label[48];
    int room = width - 1 - cols - 8;
    long first = at;
    LevelLabel(label, L, at, states);
    int used = TextWidth(label);
    while (first > 0) {
        LevelLabel(label, L, first - 1, states);
        int c = 1 + TextWidth(label);
        if (used + c > room) break;
        used += c;
        first--;
    }
    if (first > 0) len += snprintf(line + len, 8, "... "), cols += 4;
    for (long i = first; i < L.n; i++) {
        int n = LevelLabel(label, L, i, states);
        int c = TextWidth(label) + (i > first);
        bool last = i == L.n - 1;
        if (cols + c > width - 1 - (last ? 0 : 4)) {
            len += snprintf(line + len, 8, " ...");
            break;
        }
        if (i > first) line[len++] = ' ';
        memcpy(line + len, label, (size_t)n);
        len += n;
        cols += c;
    }
    line[len] = '\0';
}

/* A line per level, as many as rows allow around the focus's level. */
static void CompactPicture(const Frame &f, int width, int rows, const NodeStates *states) {
    long n;
    BiTree *path = PathTo(f.T, Focus(f), &n);
    LevelNodes cur = {(BiTree *)malloc(sizeof(BiTree)), (int *)malloc(sizeof(int)), 1};
    if (!cur.node || !cur.pos) ExitOutOfMemory();
    cur.node[0] = f.T;
    cur.pos[0] = 1;
    /* The levels around the focus's, n; all of the last rows where the
     * focus is near the bottom. */
    long lo = n - rows / 2, deepest = BiTreeDepth(f.T) - rows + 1;
    if (lo > deepest) lo = deepest;
    if (lo < 1) lo = 1;
    static char line[4096];
    for (long lv = 1; cur.n > 0 && lv < lo + rows; lv++) {
        if (lv >= lo) {
            BiTree keep = lv <= n ? path[lv - 1] : cur.node[0];
            for (long i = 0; lv > n && i < cur.n; i++)
                if (FrameState(cur.node[i], states->ctx)) {
                    keep = cur.node[i];
                    break;
                }
            LevelLine(cur, lv, keep, width, states, line);
            PrintLine(line);
        }
        LevelNodes next;
        Below(cur, next);
        free(cur.node);
        free(cur.pos);
        cur = next;
    }
    free(cur.node);
    free(cur.pos);
    free(path);
}

int FramePicture(const Frame &f, int width, int rows, DrawMark style, bool compact, bool print) {
    NodeStates states = {FrameState, &f, style};
    if (!compact) return FullPicture(f, width, rows, &states, print) ? rows : 0;
    if (print) CompactPicture(f, width, rows, &states);
    return rows;
}
