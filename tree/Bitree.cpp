/* Bitree.cpp - lifecycle, inspection and depth-first traversal of the tree.
 *
 * No operation recurses along the height of a tree: trees grafted again and
 * again can be far deeper than the call stack allows, so every walk keeps its
 * path on an explicit SqStack instead. */
#include "Bitree.h"

#include <climits>
#include <cstdlib>

#include "console.h"
#include "fail.h"
#include "node_alloc.h"

namespace bitree {
char str[STR_SIZE];
int index;
} // namespace bitree

Status InitBiTree(BiTree &T) {
    BiTree n = NewNode();
    if (!n) return ERROR;
    n->data = '#';
    n->lchild = n->rchild = nullptr;
    T = n;
    return OK;
}

/* Frees the subtree hanging on link in postorder (left subtree, right
 * subtree, node) and sets link to null. Each node is unhooked from its parent
 * just before it is freed, so a parent whose links are both null has had
 * its subtrees freed and is next; the stack holds the path from the subtree's
 * root down. */
static void FreeSubtree(BiTree &link) {
    if (!link) return;
    SqStack S;
    InitStack(S);
    Push(S, link);
    BiTree n, parent;
    while (GetTop(S, n) == OK) {
        if (n->lchild) {
            Push(S, n->lchild);
        } else if (n->rchild) {
            Push(S, n->rchild);
        } else {
            Pop(S, n);
            if (GetTop(S, parent) == OK) {
                if (parent->lchild == n)
                    parent->lchild = nullptr;
                else
                    parent->rchild = nullptr;
            }
            FreeNode(n);
        }
    }
    DestroyStack(S);
    link = nullptr;
}

Status DestroyBiTree(BiTree &T) {
    FreeSubtree(T);
    return OK;
}

Status ClearBiTree(BiTree &T) {
    DestroyBiTree(T);
    return InitBiTree(T);
}

Status BiTreeEmpty(BiTree T) {
    if (!T) return INFEASIBLE;
    return T->data == '#' ? TRUE : FALSE;
}

/* The next character of the description; past the end of str it reads as
 * '#', so an unfinished description ends in empty subtrees instead of
 * running off the array. */
static char NextDescriptionChar() {
    using namespace bitree;
    if (index < 0 || index >= STR_SIZE) {
        index++;
        return '#';
    }
    return str[index++];
}

/* Recursion here is bounded by the 100 characters of str, not by the height
 * of any tree built since. */
Status CreateBiTree(BiTree &T) {
    char ch = NextDescriptionChar();
    if (ch == '#') {
        T = nullptr;
        return OK;
    }
    BiTree n = NewNode();
    if (!n) exit(0);
    n->data = ch;
    n->lchild = n->rchild = nullptr;
    T = n;
    CreateBiTree(n->lchild);
    CreateBiTree(n->rchild);
    return OK;
}

/* Walks the tree in postorder with the path on a stack; the deepest the stack
 * gets is the depth. prev, the node handled last, tells from where the walk
 * came to the top node: from above, from its left subtree or from its right. */
int BiTreeDepth(BiTree T) {
    if (!T) return 0;
    SqStack S;
    InitStack(S);
    Push(S, T);
    int depth = 0;
    BiTree n, prev = nullptr;
    while (GetTop(S, n) == OK) {
        if (StackLength(S) > depth) depth = StackLength(S);
        bool from_above = !prev || prev->lchild == n || prev->rchild == n;
        if (from_above && n->lchild)
            Push(S, n->lchild);
        else if ((from_above || prev == n->lchild) && n->rchild)
            Push(S, n->rchild);
        else
            Pop(S, n);
        prev = n;
    }
    DestroyStack(S);
    return depth;
}

TElemType Root(BiTree T) {
    if (!T) {
        PrintLine("T不存在");
        return '\0';
    }
    if (T->data == '#') {
        PrintLine("T为空");
        return '\0';
    }
    return T->data;
}

/* ---- Node positions --------------------------------------------------- */

/* The node at position n, or null after the not-found line when a node on
 * the path from the root (the root included) is missing. The binary digits
 * of n are produced least significant first by halving with truncation, so
 * a negative n yields digits 0 and -1, which all count as left steps. An int
 * has at most sizeof(int) * CHAR_BIT of them. */
static BiTree Walk(BiTree T, int n) {
    char digits[sizeof(int) * CHAR_BIT];
    int count = 0;
    for (int m = n; m != 0; m /= 2)
        digits[count++] = (char)('0' + m % 2);
    BiTree p = T;
    /* The most significant digit stands for the root; each later one is a
     * step down. */
    for (int j = count - 2; p && j >= 0; j--)
        p = digits[j] == '1' ? p->rchild : p->lchild;
    if (!p) Print("该二叉树不存在第%d个元素\n", n);
    return p;
}

TElemType Value(BiTree T, int e) {
    BiTree p = Walk(T, e);
    return p ? p->data : '#';
}

Status Assign(BiTree T, int &e, TElemType value) {
    BiTree p = Walk(T, e);
    if (!p) return OVERFLOW;
    p->data = value;
    return OK;
}

BiTree Parent(BiTree T, int e) {
    if (e == 1) return nullptr;
    return Walk(T, e / 2);
}

BiTree LeftChild(BiTree T, int e) {
    BiTree p = Walk(T, e);
    return p ? p->lchild : nullptr;
}

BiTree RightChild(BiTree T, int e) {
    BiTree p = Walk(T, e);
    return p ? p->rchild : nullptr;
}

BiTree LeftSibling(BiTree T, int e) {
    if (e % 2 == 0) return nullptr;
    BiTree Par = Parent(T, e);
    return Par ? Par->lchild : nullptr;
}

/* A negative odd e leaves remainder -1, not 1, and so has a right sibling
 * slot. */
BiTree RightSibling(BiTree T, int e) {
    if (e % 2 == 1) return nullptr;
    BiTree Par = Parent(T, e);
    return Par ? Par->rchild : nullptr;
}

/* ---- Grafting and cutting ---------------------------------------------- */

/* The link of p on side LR: 0 is the left, every other value the right. */
static BiTree &Side(BiTree p, int LR) {
    return LR == 0 ? p->lchild : p->rchild;
}

Status InsertChild(BiTree T, BiTree p, int LR, BiTree c) {
    (void)T;
    if (!p || !c || c->rchild) return ERROR;
    BiTree &link = Side(p, LR);
    c->rchild = link;
    link = c;
    return OK;
}

Status DeleteChild(BiTree T, BiTree p, int LR) {
    (void)T;
    if (!p) return ERROR;
    FreeSubtree(Side(p, LR));
    return OK;
}

/* ---- Traversals -------------------------------------------------------- */

Status PreOrderTraverse(BiTree T) {
    SqStack S;
    InitStack(S);
    BiTree p = T;
    while (p || !StackEmpty(S)) {
        if (p) {
            Print("%c ", p->data);
            Push(S, p);
            p = p->lchild;
        } else {
            Pop(S, p);
            p = p->rchild;
        }
    }
    DestroyStack(S);
    return OK;
}

Status InOrderTraverse(BiTree T) {
    SqStack S;
    InitStack(S);
    BiTree p = T;
    while (p || !StackEmpty(S)) {
        if (p) {
            Push(S, p);
            p = p->lchild;
        } else {
            Pop(S, p);
            Print("%c ", p->data);
            p = p->rchild;
        }
    }
    DestroyStack(S);
    return OK;
}

/* Per-level flags of the postorder walk: entry d belongs to the stack
 * element at depth d (0 at the bottom); 0 while its left subtree is walked, 1
 * once its right subtree has been entered. The array grows with the stack. */
typedef struct {
    int *k;
    int size;
} Flags;

static void SetTopFlag(Flags &F, SqStack S, int value) {
    int d = StackLength(S) - 1;
    if (d >= F.size) {
        int size = F.size * 2 > d ? F.size * 2 : d + 1;
        int *grown = (int *)realloc(F.k, sizeof(int) * (size_t)size);
        if (!grown) ExitOutOfMemory();
        F.k = grown;
        F.size = size;
    }
    F.k[d] = value;
}

static int TopFlag(const Flags &F, SqStack S) {
    return F.k[StackLength(S) - 1];
}

Status PostOrderTraverse(BiTree T) {
    SqStack S;
    InitStack(S);
    Flags F = {nullptr, 0};
    BiTree p = T;
    while (p || !StackEmpty(S)) {
        while (p) { /* descend left */
            Push(S, p);
            SetTopFlag(F, S, 0);
            p = p->lchild;
        }
        while (!StackEmpty(S) && TopFlag(F, S) == 1) { /* right subtree done */
            Pop(S, p);
            Print("%c ", p->data);
        }
        if (StackEmpty(S)) break;
        SetTopFlag(F, S, 1); /* turn right */
        GetTop(S, p);
        p = p->rchild;
    }
    free(F.k);
    DestroyStack(S);
    return OK;
}

/* Walks level by level: level holds the nodes of one level, left to right,
 * and next collects their children in order. Only present nodes are kept,
 * so the work is proportional to the number of nodes, however deep and
 * sparse the tree, and the walk ends with the first level that has none:
 * the levels are counted as they are walked, not by a separate depth walk.
 * The two stacks serve as growable arrays. */
Status LevelOrderTraverse(BiTree T) {
    SqStack level, next;
    InitStack(level);
    InitStack(next);
    if (T) Push(level, T);
    while (!StackEmpty(level)) {
        ClearStack(next);
        for (BiTree *q = level.base; q < level.top; q++) {
            Print("%c ", (*q)->data);
            if ((*q)->lchild) Push(next, (*q)->lchild);
            if ((*q)->rchild) Push(next, (*q)->rchild);
        }
        SqStack swap = level;
        level = next;
        next = swap;
    }
    DestroyStack(level);
    DestroyStack(next);
    return OK;
}
