/* traverse.cpp - the four walks of the tree (preorder, inorder and
 * postorder on an explicit stack, and level order) and the traversals that
 * print them. A walk tells a WalkWatch about its visits and its steps; the
 * traversals watch with a printer, tree_menu --trace with the tracer of
 * trace.cpp.
 *
 * No walk recurses: trees grafted again and again can be far deeper than the
 * call stack allows, so the depth-first walks keep their path on a SqStack
 * and the level-order walk keeps its levels in two. */
#include "Bitree.h"

#include <cstdlib>

#include "console.h"
#include "fail.h"

/* Tells the watcher of a walk about a visit and a stack operation. */
static void Visit(const WalkWatch &w, BiTree p) {
    if (w.visit) w.visit(p, w.ctx);
}

static void Step(const WalkWatch &w, const char *op, BiTree p, const SqStack &S) {
    if (w.step) w.step(op, p, S, w.ctx);
}

/* Where the preorder and the inorder walk tell the watcher about a node:
 * when it is pushed on the way down, or when it is popped on the way back. */
typedef enum { VISIT_ON_PUSH, VISIT_ON_POP } VisitAt;

/* The preorder and inorder walk, which differ only in when they visit: p
 * goes left, pushing each node it passes; when it runs out, the nearest node
 * whose right subtree is still to come is popped and p goes to its right. */
static Status LeftFirstWalk(BiTree T, const WalkWatch &w, VisitAt at) {
    SqStack S;
    InitStack(S);
    BiTree p = T;
    while (p || !StackEmpty(S)) {
        if (p) {
            if (at == VISIT_ON_PUSH) Visit(w, p);
            Push(S, p);
            Step(w, "push", p, S);
            p = p->lchild;
        } else {
            Pop(S, p);
            if (at == VISIT_ON_POP) Visit(w, p);
            Step(w, "pop", p, S);
            p = p->rchild;
        }
    }
    DestroyStack(S);
    return OK;
}

Status PreOrderWalk(BiTree T, const WalkWatch &w) {
    return LeftFirstWalk(T, w, VISIT_ON_PUSH);
}

Status InOrderWalk(BiTree T, const WalkWatch &w) {
    return LeftFirstWalk(T, w, VISIT_ON_POP);
}

/* The postorder walk's stack and per-level flags. They are kept from one
 * walk to the next (made by the first walk, never released), so a walk
 * allocates only when it goes deeper than every walk before it. k[d] belongs
 * to the stack element at depth d (0 at the bottom): 0 while its left
 * subtree is walked, 1 once its right subtree has been entered. Only the
 * top's flag is read, and it is always written first, so the entries need
 * no clearing between walks. k has size entries and grows by doubling. A
 * watcher must not start another postorder walk from inside this one. */
typedef struct {
    SqStack S;
    int *k;
    int size;
} PostWalk;

static PostWalk g_post = {{nullptr, nullptr, 0}, nullptr, 0};

static void SetTopFlag(PostWalk &W, int value) {
    int d = StackLength(W.S) - 1;
    if (d >= W.size) {
        int size = W.size * 2 > d ? W.size * 2 : d + 1;
        int *grown = (int *)realloc(W.k, sizeof(int) * (size_t)size);
        if (!grown) ExitOutOfMemory();
        W.k = grown;
        W.size = size;
    }
    W.k[d] = value;
}

static int TopFlag(const PostWalk &W) {
    return W.k[StackLength(W.S) - 1];
}

Status PostOrderWalk(BiTree T, const WalkWatch &w) {
    PostWalk &W = g_post;
    if (!W.S.base) InitStack(W.S);
    BiTree p = T;
    while (p || !StackEmpty(W.S)) {
        while (p) { /* descend left */
            Push(W.S, p);
            Step(w, "push", p, W.S);
            SetTopFlag(W, 0);
            p = p->lchild;
        }
        while (!StackEmpty(W.S) && TopFlag(W) == 1) { /* right subtree done */
            Pop(W.S, p);
            Visit(w, p);
            Step(w, "pop", p, W.S);
        }
        if (StackEmpty(W.S)) break;
        SetTopFlag(W, 1); /* turn right */
        GetTop(W.S, p);
        Step(w, "top", p, W.S);
        p = p->rchild;
    }
    return OK;
}

/* Walks level by level: level holds the nodes of one level, left to right,
 * and next collects their children in order. Only present nodes are kept,
 * so the work is proportional to the number of nodes, however deep and
 * sparse the tree, and the walk ends with the first level that has none:
 * the levels are counted as they are walked, not by a separate depth walk.
 * The two stacks serve as growable arrays. */
Status LevelOrderWalk(BiTree T, const WalkWatch &w) {
    SqStack level, next;
    InitStack(level);
    InitStack(next);
    if (T) Push(level, T);
    for (int k = 0; !StackEmpty(level); k++) {
        ClearStack(next);
        for (BiTree *q = level.base; q < level.top; q++) {
            Visit(w, *q);
            if ((*q)->lchild) Push(next, (*q)->lchild);
            if ((*q)->rchild) Push(next, (*q)->rchild);
        }
        if (w.level) w.level(k, level.base, StackLength(level), w.ctx);
        SqStack swap = level;
        level = next;
        next = swap;
    }
    DestroyStack(level);
    DestroyStack(next);
    return OK;
}

/* Prints one node of a walk: its data and a space. */
static void PrintVisit(BiTree p, void *ctx) {
    (void)ctx;
    PrintChar(p->data);
    PrintChar(' ');
}

static const WalkWatch kPrintEach = {PrintVisit, nullptr, nullptr, nullptr};

Status PreOrderTraverse(BiTree T) {
    return PreOrderWalk(T, kPrintEach);
}

Status InOrderTraverse(BiTree T) {
    return InOrderWalk(T, kPrintEach);
}

Status PostOrderTraverse(BiTree T) {
    return PostOrderWalk(T, kPrintEach);
}

Status LevelOrderTraverse(BiTree T) {
    return LevelOrderWalk(T, kPrintEach);
}
