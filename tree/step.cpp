/* step.cpp - tree_menu --step (step.h): the frames of a walk, each found by
 * walking again to its step, and the keys that move among them. */
#include "step.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console.h"
#include "output.h"
#include "lang.h"
#include "step_frame.h"
#include "walk_code.h"

#define CODE(name) kWalkCode##name, (int)(sizeof kWalkCode##name / sizeof kWalkCode##name[0])

/* The walks, in the order of StepWalk. */
static const WalkShown kWalks[] = {
    {TEXT_NAME_PRE, "PreOrderTraverse", CODE(PreOrder), TEXT_PRE_PUSH, TEXT_PRE_POP, TEXT_PRE_POP,
     PreOrderWalk},
    {TEXT_NAME_IN, "InOrderTraverse", CODE(InOrder), TEXT_IN_PUSH, TEXT_IN_POP, TEXT_IN_POP,
     InOrderWalk},
    {TEXT_NAME_POST, "PostOrderTraverse", CODE(PostOrder), TEXT_POST_PUSH, TEXT_POST_POP,
     TEXT_POST_TOP, PostOrderWalk},
    {TEXT_NAME_LEVEL, "LevelOrderTraverse", CODE(LevelOrder), TEXT_LEVEL_DONE, TEXT_LEVEL_DONE,
     TEXT_LEVEL_DONE, LevelOrderWalk},
};

/* A copy of n elements of size bytes each (uninitialised where from is
 * null); malloc'd, never null. */
static void *Copy(const void *from, long n, size_t size) {
    void *to = malloc(size * (size_t)(n > 0 ? n : 1));
    if (!to) ExitOutOfMemory();
    if (from && n > 0) memcpy(to, from, size * (size_t)n);
    return to;
}

/* A walk again, up to the step wanted: the steps counted, the nodes
 * printed so far, and the positions of the level before (level order). */
typedef struct {
    long want, steps;
    Frame *f; /* filled at step want */
    BiTree *visits;
    long nvisits, size;
    BiTree *prev;
    int *prev_pos;
    long nprev;
} Replay;

static void ReplayVisit(BiTree p, void *ctx) {
    Replay *r = (Replay *)ctx;
    if (r->steps >= r->want) return;
    if (r->nvisits == r->size) {
        r->size = r->size ? 2 * r->size : 64;
        BiTree *grown = (BiTree *)realloc(r->visits, sizeof(BiTree) * (size_t)r->size);
        if (!grown) ExitOutOfMemory();
        r->visits = grown;
    }
    r->visits[r->nvisits++] = p;
}

static void ReplayStep(const char *op, BiTree node, BiTree next, SqStack S, const int *flags,
                       void *ctx) {
    Replay *r = (Replay *)ctx;
    if (++r->steps != r->want || !r->f) return;
    Frame &f = *r->f;
    f.op = strcmp(op, "push") == 0 ? OP_PUSH : strcmp(op, "pop") == 0 ? OP_POP : OP_TOP;
    f.node = node;
    f.p = next;
    f.depth = StackLength(S);
    f.stack = (BiTree *)Copy(S.base, f.depth, sizeof(BiTree));
    f.flags = flags ? (int *)Copy(flags, f.depth, sizeof(int)) : nullptr;
    f.printed = (BiTree *)Copy(r->visits, r->nvisits, sizeof(BiTree));
    f.nprinted = r->nvisits;
}

static void ReplayLevel(int k, BiTree const *nodes, int n, void *ctx) {
    Replay *r = (Replay *)ctx;
    if (++r->steps > r->want || !r->f) return;
    /* Each level lists the children of the level before, in order. */
    int *pos = (int *)Copy(nullptr, n, sizeof(int)), j = 0;
    if (k == 0) pos[0] = 1;
    for (long i = 0; k > 0 && i < r->nprev; i++) {
        if (r->prev[i]->lchild) pos[j++] = ChildPosition(r->prev_pos[i], 0);
        if (r->prev[i]->rchild) pos[j++] = ChildPosition(r->prev_pos[i], 1);
    }
    free(r->prev);
    free(r->prev_pos);
    r->prev = (BiTree *)Copy(nodes, n, sizeof(BiTree));
    r->prev_pos = pos;
    r->nprev = n;
    if (r->steps < r->want) return;
    Frame &f = *r->f;
    f.op = OP_LEVEL;
    f.level = k;
    f.nodes = (BiTree *)Copy(nodes, n, sizeof(BiTree));
    f.pos = (int *)Copy(pos, n, sizeof(int));
    f.nnodes = n;
    f.printed = (BiTree *)Copy(r->visits, r->nvisits, sizeof(BiTree));
    f.nprinted = r->nvisits;
}

/* Walks T up to step want; fills f at that step when f is not null.
 * Returns the walk's number of steps. */
static long WalkTo(Status (*walk)(BiTree, const WalkWatch &), BiTree T, long want, Frame *f) {
    Replay r = {want, 0, f, nullptr, 0, 0, nullptr, nullptr, 0};
    const WalkWatch w = {f ? ReplayVisit : nullptr, ReplayStep, ReplayLevel, &r};
    walk(T, w);
    free(r.visits);
    free(r.prev);
    free(r.prev_pos);
    return r.steps;
}

/* The sentence of f's step. */
static void Say(Frame &f) {
    char a1[24], a2[256];
    if (f.op == OP_LEVEL) {
        snprintf(a1, sizeof a1, "%d", f.level + 1);
        for (long i = 0, at = 0; i < f.nnodes && at < 40; i++) {
            if (i > 0) a2[at++] = ' ';
            at += ElementText(a2 + at, f.nodes[i]->data);
            a2[at] = '\0';
            if (i + 1 < f.nnodes && at >= 40) snprintf(a2 + at, 8, " ...");
        }
        bool last = f.k == f.n;
        Fill(f.sentence, sizeof f.sentence, StepText(last ? TEXT_LEVEL_LAST : TEXT_LEVEL_DONE), a1,
             a2);
        return;
    }
    ElementText(a1, f.node->data);
    if (f.p)
        ElementText(a2, f.p->data);
    else
        snprintf(a2, sizeof a2, "NULL");
    StepTextId id = f.op == OP_PUSH ? f.walk->push : f.op == OP_POP ? f.walk->pop : f.walk->top;
    Fill(f.sentence, sizeof f.sentence, StepText(id), a1, a2);
}

/* Frame k of n of shown on T, with the line naming the keys when help is
 * set. */
static void PrintFrame(const WalkShown &shown, BiTree T, long k, long n, int width, int rows,
                       DrawMark style, bool help) {
    Frame f;
    memset(&f, 0, sizeof f);
    f.walk = &shown;
    f.T = T;
    f.k = k;
    f.n = n;
    WalkTo(shown.walk, T, k, &f);
    Say(f);
    ShowFrame(f, width, rows, style, help);
    free(f.stack);
    free(f.flags);
    free(f.printed);
    free(f.nodes);
    free(f.pos);
}

long StepCount(StepWalk walk, BiTree T) {
    return WalkTo(kWalks[walk].walk, T, 0, nullptr);
}

void PrintStepFrame(StepWalk walk, BiTree T, long k, int width, int rows, DrawMark style) {
    PrintFrame(kWalks[walk], T, k, StepCount(walk, T), width, rows - 1, style, false);
}

/* Shows step k of n: at a terminal on a cleared screen, leaving its last
 * row for the line typed. */
static void Show(const WalkShown &shown, BiTree T, long k, long n, bool help) {
    ClearScreen();
    TermSize screen = GetTermSize();
    PrintFrame(shown, T, k, n, screen.cols, screen.rows - 1,
               ScreenShowsAttributes() ? MARK_ATTRIBUTES : MARK_BRACKETS, help);
}

/* What a line typed at a frame asks for. */
typedef enum { KEY_NEXT, KEY_BACK, KEY_GO, KEY_END, KEY_BAD } Key;

static Key ReadKey(long n, long *to) {
    char line[32];
    if (!ReadLineOrEnd(line, sizeof line)) return KEY_END;
    size_t len = strlen(line);
    while (len > 0 && (line[len - 1] == '\r' || line[len - 1] == ' '))
        line[--len] = '\0'; /* a console's line may end in CR LF */
    if (len == 0 || strcmp(line, "n") == 0) return KEY_NEXT;
    if (strcmp(line, "b") == 0) return KEY_BACK;
    if (strcmp(line, "q") == 0) return KEY_END;
    if (len > 9 || strspn(line, "0123456789") != len) return KEY_BAD;
    *to = atol(line);
    return *to >= 1 && *to <= n ? KEY_GO : KEY_BAD;
}

/* The frames of walk on T, moved among by the keys (step.h). */
static int StepThrough(const WalkShown &shown, BiTree T) {
    long n = WalkTo(shown.walk, T, 0, nullptr);
    if (n == 0) return 0;
    char rest[8];
    if (!ReadLineOrEnd(rest, sizeof rest)) return 1; /* the rest of the option's line */
    bool terminal = TerminalRows() > 0;              /* a screen that each frame is drawn on anew */
    long k = 1;
    Show(shown, T, k, n, false);
    for (;;) {
        long to = k;
        switch (ReadKey(n, &to)) {
        case KEY_NEXT:
            if (k == n) return 1;
            k++;
            break;
        case KEY_BACK:
            if (k > 1) k--;
            break;
        case KEY_GO:
            k = to;
            break;
        case KEY_END:
            return 1;
        case KEY_BAD:
            if (terminal)
                Show(shown, T, k, n, true);
            else
                ShowKeysHelp(n, GetTermSize().cols);
            continue;
        }
        Show(shown, T, k, n, false);
    }
}

int StepPreOrder(BiTree T) {
    return StepThrough(kWalks[STEP_PREORDER], T);
}

int StepInOrder(BiTree T) {
    return StepThrough(kWalks[STEP_INORDER], T);
}

int StepPostOrder(BiTree T) {
    return StepThrough(kWalks[STEP_POSTORDER], T);
}

int StepLevelOrder(BiTree T) {
    return StepThrough(kWalks[STEP_LEVELORDER], T);
}
