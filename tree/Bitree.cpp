/* Bitree.cpp - lifecycle, inspection, node positions, grafting and cutting
 * of the tree; the walks are in traverse.cpp.
 *
 * No operation recurses along the height of a tree: trees grafted again and
 * again can be far deeper than the call stack allows, so every walk keeps its
 * path on an explicit SqStack instead. */
#include "Bitree.h"

#include <climits>

#include "console.h"
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

/* Frees a tree that BuildDescribed has just made, in postorder. It needs
 * no memory, so it works when the heap has none left; its recursion, like
 * BuildDescribed's, is bounded by the 100 characters of str. */
static void FreeBuilt(BiTree n) {
    if (!n) return;
    FreeBuilt(n->lchild);
    FreeBuilt(n->rchild);
    FreeNode(n);
}

/* Moves the cursor past one tree's description without building anything:
 * one subtree is open at the start, every node character opens two more and
 * every '#' closes one. */
static void SkipDescription() {
    for (int open = 1; open > 0; open--)
        if (NextDescriptionChar() != '#') open += 2;
}

/* Builds the tree described from the cursor on; the root's right subtree
 * only when with_right, else its description is skipped. Returns OK with
 * the tree in T, or ERROR when a node cannot be had: the nodes made so far
 * are freed and T is left as it was. Recursion here is bounded by the 100
 * characters of str, not by the height of any tree built since. */
static Status BuildDescribed(BiTree &T, bool with_right) {
    char ch = NextDescriptionChar();
    if (ch == '#') {
        T = nullptr;
        return OK;
    }
    BiTree n = NewNode();
    if (!n) return ERROR;
    n->data = ch;
    n->lchild = n->rchild = nullptr;
    Status built = CreateBiTree(n->lchild);
    if (built && with_right)
        built = CreateBiTree(n->rchild);
    else if (built)
        SkipDescription();
    if (!built) {
        FreeBuilt(n);
        return ERROR;
    }
    T = n;
    return OK;
}

Status CreateBiTree(BiTree &T) {
    return BuildDescribed(T, true);
}

Status CreateBiTreeWithoutRight(BiTree &T) {
    return BuildDescribed(T, false);
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
