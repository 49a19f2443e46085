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
 * moves the cursor past it. T is only written. Without memory the process
 * ends with status 0. Returns OK. */
Status CreateBiTree(BiTree &T);
/* The number of levels of T; 0 for no tree, 1 for the empty tree. */
int BiTreeDepth(BiTree T);
/* The root's data, or the character 0 after printing "T为空" for an empty
 * tree (or "T不存在" for no tree). */
TElemType Root(BiTree T);

/* Print every node as "%c " in their order, without recursion. OK always. */
Status PreOrderTraverse(BiTree T);
Status InOrderTraverse(BiTree T);
Status PostOrderTraverse(BiTree T);

#endif
