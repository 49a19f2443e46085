/* label.h - how the views of tree_menu (--draw, --trace, --step) show a
 * node: its data, its position as options 8 to 14 take it, and the marks of
 * its state at a step of a walk. */
#ifndef TREE_LABEL_H
#define TREE_LABEL_H

#include "stack.h"

/* A position beyond int: shown as "?". */
#define NO_POSITION (-1)

/* The position of the left (side 0) or right (side 1) child of pos;
 * NO_POSITION beyond int or under NO_POSITION. */
int ChildPosition(int pos, int side);

/* Writes data at out as it is, or as \xHH outside printable ASCII (a blank
 * too, so that it is seen); returns its length (at most 4). */
int ElementText(char *out, TElemType data);

/* Writes data(position) at out, the data as ElementText writes it; returns
 * its length (at most 17). */
int PlainLabel(char *out, TElemType data, int pos);

/* What a node is at one step of a walk (tree_menu --step), as bits: a node
 * may be several of them at once. */
enum NodeState {
    NODE_CURRENT = 1, /* the node of this step */
    NODE_STACKED = 2, /* on the walk's stack */
    NODE_PRINTED = 4, /* printed already */
    NODE_P = 8,       /* where p points */
};

/* How the states show. Brackets, for a pipe or a console without colour:
 * [X(1)] this step, <X(1)> p, {X(1)} on the stack, *X(1)* printed, the
 * first of these that applies. Attributes, for a terminal (escape bytes
 * that take no column): reverse video this step, underline p, bold on the
 * stack, green printed, all that apply. */
enum DrawMark { MARK_BRACKETS, MARK_ATTRIBUTES };

/* The states of the nodes a picture shows: state(node, ctx) gives a node's
 * NodeState bits (0 for none). */
typedef struct {
    unsigned (*state)(BiTree node, const void *ctx);
    const void *ctx;
    DrawMark style;
} NodeStates;

/* The texts before and after a label with the given NodeState bits: in
 * brackets, one character each (blank for no state); as attributes, the
 * escape sequences (empty for no state). */
void StateMarks(unsigned state, DrawMark style, const char **open, const char **close);

/* Writes data(position) between the marks of state (StateMarks; nothing
 * around it for no state); returns its length in bytes, at most 40. */
int MarkedLabel(char *out, TElemType data, int pos, unsigned state, DrawMark style);

/* Writes the children of the n nodes at node (positions at pos), left to
 * right, into kid, their positions into kid_pos; returns how many. kid and
 * kid_pos have room for all of them. */
long ChildrenOf(const BiTree *node, const int *pos, long n, BiTree *kid, int *kid_pos);

#endif
