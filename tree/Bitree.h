/* Bitree.h - the linked binary tree of characters and its operations.
 *
 * A BiTree variable is in one of three states:
 *   no tree     the null pointer;
 *   empty tree  one node whose data is '#' and whose links are null;
 *   built tree  a root whose data is not '#'.
 * Operations tell them apart by the pointer and the root's data only.
 */
#ifndef TREE_BITREE_H
#define TREE_BITREE_H

#include "stack.h"

/* The preorder description that CreateBiTree reads ('#' = empty subtree),
 * and its read cursor. They live in a namespace of their own because POSIX
 * already declares a function named index(). */
namespace bitree {
const int STR_SIZE = 100;
extern char str[STR_SIZE];
extern int index;
} // namespace bitree

/* The description the menu builds its trees from. */
#define BUILTIN_DESCRIPTION "ABDH#K###E##CFI###G#J##"

/* Makes T an empty tree. T is only written, never freed. Returns OK, or
 * ERROR with T unchanged when no node can be had. */
Status InitBiTree(BiTree &T);
/* Frees every node of T in postorder; T becomes null. Returns OK. */
Status DestroyBiTree(BiTree &T);
/* DestroyBiTree, then InitBiTree: T becomes an empty tree. Returns OK. */
Status ClearBiTree(BiTree &T);
/* INFEASIBLE (-1) for no tree, TRUE for an empty tree, FALSE for a built
 * tree. Only the root is looked at. */
Status BiTreeEmpty(BiTree T);
/* Builds the tree that bitree::str describes from bitree::index on, and
 * moves the cursor past it. T is only written, and only on success. Returns
 * OK, or ERROR when a node cannot be had: the nodes made are freed again,
 * T is untouched and the cursor stands somewhere inside the description. */
Status CreateBiTree(BiTree &T);
/* CreateBiTree without the root's right subtree: its description is read
 * past, no node is made for it, and the root's rchild is null, so the tree
 * can be grafted by InsertChild. Same results. */
Status CreateBiTreeWithoutRight(BiTree &T);
/* The number of levels of T; 0 for no tree, 1 for the empty tree. */
int BiTreeDepth(BiTree T);
/* The root's data, or the character 0 after printing "T为空" for an empty
 * tree (or "T不存在" for no tree). */
TElemType Root(BiTree T);

/* Node positions number the slots of the full binary tree in level order:
 * the root is 1, the children of k are 2k and 2k + 1. The binary digits of
 * a position after its leading 1 are its path from the root (0 left, 1
 * right); every int is walked, and a negative one goes left only. When the
 * walk meets a missing node (the root included), the operation prints
 * "该二叉树不存在第%d个元素\n" with the number walked and fails. */

/* The data of the node at position e, or '#' when there is none. */
TElemType Value(BiTree T, int e);
/* Stores value in the node at position e: OK, or OVERFLOW when there is
 * none (the tree unchanged). */
Status Assign(BiTree T, int &e, TElemType value);
/* The node at the parent position e / 2 of e (e itself is not looked at);
 * null for e == 1 (nothing printed) or when that position holds no node. */
BiTree Parent(BiTree T, int e);
/* The left (right) child of the node at position e; null when it has none
 * (nothing printed) or when e holds no node. */
BiTree LeftChild(BiTree T, int e);
BiTree RightChild(BiTree T, int e);
/* The left child of e's parent for an odd e; null for an even e (nothing
 * printed) or when the parent position holds no node. */
BiTree LeftSibling(BiTree T, int e);
/* The right child of e's parent unless e % 2 == 1; null then (nothing
 * printed) or when the parent position holds no node. */
BiTree RightSibling(BiTree T, int e);

/* Grafts the tree c under p on side LR (0 left, any other value right):
 * what hung there becomes c's right subtree, and c's nodes now belong to
 * p's tree. ERROR, changing nothing, when p or c is null or c has a right
 * subtree; else OK. T is not read. */
Status InsertChild(BiTree T, BiTree p, int LR, BiTree c);
/* Frees the subtree on side LR of p in postorder and nulls that link: OK
 * (also when the side was empty), or ERROR for a null p. T is not read. */
Status DeleteChild(BiTree T, BiTree p, int LR);

/* ---- Traversals (traverse.cpp) ---- */

/* Print every node as "%c " in their order, without recursion. OK always. */
Status PreOrderTraverse(BiTree T);
Status InOrderTraverse(BiTree T);
Status PostOrderTraverse(BiTree T);
/* Prints every node as "%c ", level by level from the root, left to right
 * within a level. OK always. */
Status LevelOrderTraverse(BiTree T);

/* What a walk tells its watcher. visit: each node in the walk's order, where
 * the traversal would print it. step: after each stack operation of a
 * depth-first walk ("push", "pop", or "top" where postorder reads the top
 * with GetTop) and the move of p that follows it, with the node it moved,
 * p as it is then (null past a leaf), the stack as it is then and, in
 * postorder, its flags (flags[d] for the element at depth d, 0 at the
 * bottom; null in the other walks); a pop that prints its node calls visit
 * first. level: each level of the
 * level-order walk, k from 0, its n nodes left to right. Any of them may be
 * null; ctx is passed to each. The stack and the nodes are only lent for
 * the call. */
typedef struct {
    void (*visit)(BiTree p, void *ctx);
    void (*step)(const char *op, BiTree node, BiTree p, SqStack S, const int *flags, void *ctx);
    void (*level)(int k, BiTree const *nodes, int n, void *ctx);
    void *ctx;
} WalkWatch;

/* The walks of the four traversals above, telling w instead of printing.
 * Each traversal is its walk with a watcher that prints every visit. OK
 * always. */
Status PreOrderWalk(BiTree T, const WalkWatch &w);
Status InOrderWalk(BiTree T, const WalkWatch &w);
Status PostOrderWalk(BiTree T, const WalkWatch &w);
Status LevelOrderWalk(BiTree T, const WalkWatch &w);

#endif
