/* stack.h - the tree program's shared types and status codes, and the
 * sequential stack of node pointers on which the depth-first traversals run.
 */
#ifndef TREE_STACK_H
#define TREE_STACK_H

/* Result of an operation. Some headers (glibc's math.h) define OVERFLOW for
 * their own use; here it is the status. */
typedef int Status;
#define TRUE 1
#define FALSE 0
#define OK 1
#define ERROR 0
#define INFEASIBLE -1
#ifdef OVERFLOW
#undef OVERFLOW
#endif
#define OVERFLOW -2

/* One tree node. "#" as the data of a root marks the empty tree. A tree
 * owns its nodes; each node is a separate heap allocation. */
typedef char TElemType;
typedef struct BiTNode {
    TElemType data;
    struct BiTNode *lchild; /* root of the left subtree, or null */
    struct BiTNode *rchild; /* root of the right subtree, or null */
} BiTNode, *BiTree;

/* The stack holds node pointers; it never owns the nodes. */
typedef BiTree SElemType;
#define STACK_INIT_SIZE 100 /* capacity after InitStack, in elements */
#define STACKINCREMENT 10   /* elements added by each growth */

/* Invariant once initialised: base <= top <= base + stacksize. The elements
 * are base[0] (bottom) up to top[-1] (top); top - base of them. The block
 * belongs to the record; a by-value copy shares it. The block has at least
 * stacksize slots (STACK_INIT_SIZE doubled until it covers stacksize). */
typedef struct {
    SElemType *base; /* first slot; null after DestroyStack */
    SElemType *top;  /* next free slot */
    int stacksize;   /* capacity of the block, in elements */
} SqStack;

/* Makes S an empty stack of STACK_INIT_SIZE slots. Without memory the
 * process ends with status OVERFLOW after a line on stderr. Returns OK. */
Status InitStack(SqStack &S);
/* Releases S's block; base and top become null. Returns OK. */
Status DestroyStack(SqStack &S);
/* Empties S, keeping its block and capacity. Returns OK. */
Status ClearStack(SqStack &S);
/* TRUE when S holds no element, else FALSE. */
Status StackEmpty(SqStack S);
/* The number of elements in S. */
int StackLength(SqStack S);
/* Copies the top element to e: OK, or ERROR (e untouched) when S is empty. */
Status GetTop(SqStack S, SElemType &e);
/* Pushes e, growing the block by STACKINCREMENT when it is full. Without
 * memory the process ends with status OVERFLOW after a line on stderr. Returns OK. */
Status Push(SqStack &S, SElemType e);
/* Pops the top element into e: OK, or ERROR (e untouched) when S is empty. */
Status Pop(SqStack &S, SElemType &e);
/* Prints each element, bottom first, as a signed decimal address and a tab. */
Status StackTraverse(SqStack S);

#endif
