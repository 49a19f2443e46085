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
#include "output.h"

/* Tells the watcher of a walk about a visit. */
static void Visit(const WalkWatch &w, BiTree p) {
    if (w.visit) w.visit(p, w.ctx);
}

/* Tells the watcher of a depth-first walk about a stack operation on node,
 * just before p moves on to next. The lines between the marker comments
 * below are what tree_menu --step shows of each walk (CMake copies them
 * into walk_code.h at build time, leaving out the calls of Step): a walk's
 * shown code is the code that runs. */
static void Step(const WalkWatch &w, const char *op, BiTree node, BiTree next, const SqStack &S,
                 const int *flags = nullptr) {
    if (w.step) w.step(op, node, next, S, flags, w.ctx);
}

/* Preorder: p goes left, printing and pushing each node it passes; when it
 * runs out, the nearest node whose right subtree is still to come is popped
 * and p goes to its right. */
Status PreOrderWalk(BiTree T, const WalkWatch &w) {
    SqStack S;
    InitStack(S);
    BiTree p = T;
    /* step code begin: PreOrder */
    while (p || !StackEmpty(S)) {
        if (p) {
            Visit(w, p);
            Push(S, p);
            Step(w, "push", p, p->lchild, S);
            p = p->lchild;
        } else {
            Pop(S, p);
            Step(w, "pop", p, p->rchild, S);
            p = p->rchild;
        }
    }
    /* step code end */
    DestroyStack(S);
    return OK;
}

/* Inorder: the same walk, printing each node when it is popped, between
 * its left and its right subtree. */
Status InOrderWalk(BiTree T, const WalkWatch &w) {
    SqStack S;
    InitStack(S);
    BiTree p = T;
    /* step code begin: InOrder */
    while (p || !StackEmpty(S)) {
        if (p) {
            Push(S, p);
            Step(w, "push", p, p->lchild, S);
            p = p->lchild;
        } else {
            Pop(S, p);
            Visit(w, p);
            Step(w, "pop", p, p->rchild, S);
            p = p->rchild;
        }
    }
    /* step code end */
    DestroyStack(S);
    return OK;
}

/* The postorder walk's stack and per-level flags, made at the start of a
 * walk and released at its end. k[d] belongs to the stack element at depth d
 * (0 at the bottom): 0 while its left subtree is walked, 1 once its right
 * subtree has been entered. Only the top's flag is read, and it is always
 * written first. k has size entries and grows by doubling, so a walk serves
 * any depth. */
typedef struct {
    SqStack S;
    int *k;
    int size;
} PostWalk;

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
    PostWalk W = {{nullptr, nullptr, 0}, nullptr, 0};
    InitStack(W.S);
    BiTree p = T;
    /* step code begin: PostOrder */
    while (p || !StackEmpty(W.S)) {
        while (p) { /* descend left */
            Push(W.S, p);
            SetTopFlag(W, 0);
            Step(w, "push", p, p->lchild, W.S, W.k);
            p = p->lchild;
        }
        while (!StackEmpty(W.S) && TopFlag(W) == 1) { /* right subtree done */
            Pop(W.S, p);
            Visit(w, p);
            Step(w, "pop", p, p, W.S, W.k);
        }
        if (StackEmpty(W.S)) break;
        SetTopFlag(W, 1); /* turn right */
        GetTop(W.S, p);
        Step(w, "top", p, p->rchild, W.S, W.k);
        p = p->rchild;
    }
    /* step code end */
    DestroyStack(W.S);
    free(W.k);
    return OK;
}

/* Tells the watcher of the level-order walk about level k, just walked. */
static void StepLevel(const WalkWatch &w, int k, const SqStack &level) {
    if (w.level) w.level(k, level.base, StackLength(level), w.ctx);
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
    /* step code begin: LevelOrder */
    for (int k = 0; !StackEmpty(level); k++) {
        ClearStack(next);
        for (BiTree *q = level.base; q < level.top; q++) {
            Visit(w, *q);
            if ((*q)->lchild) Push(next, (*q)->lchild);
            if ((*q)->rchild) Push(next, (*q)->rchild);
        }
        StepLevel(w, k, level);
        SqStack swap = level;
        level = next;
        next = swap;
    }
    /* step code end */
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
