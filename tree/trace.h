/* trace.h - what tree_menu --trace shows: a walk step by step. */
#ifndef TREE_TRACE_H
#define TREE_TRACE_H

#include "Bitree.h"

/* How many elements of the stack (and of the output so far) a trace line
 * shows: the top ones, after "...N more" for those left out. */
#define TRACE_SHOWN 16

/* Runs walk (one of PreOrderWalk, InOrderWalk, PostOrderWalk and
 * LevelOrderWalk) on T and prints, on stdout, a line for each of its steps:
 *
 *   push X stack: A B X  out: A B X
 *
 * for each push, pop or top (postorder's GetTop) of node X, with the stack
 * after it, bottom to top, and the nodes the walk has printed so far; and
 *
 *   level K: X Y Z
 *
 * for each level of the level-order walk, K from 0. Data outside printable
 * ASCII shows as \xHH. Each step line holds at most TRACE_SHOWN elements of
 * each list, so the trace costs time linear in the steps. Nothing else is
 * printed: no tree, or a tree that gives the walk no step, prints nothing. */
void TraceWalk(Status (*walk)(BiTree, const WalkWatch &), BiTree T);

#endif
