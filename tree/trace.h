/* trace.h - what tree_menu --trace shows: a walk step by step, as a hand
 * trace table. */
#ifndef TREE_TRACE_H
#define TREE_TRACE_H

#include "Bitree.h"

/* How many elements of the stack (and of the output so far) a row shows:
 * the top ones, after "...N more" for those left out. */
#define TRACE_SHOWN 16

/* Runs walk (one of PreOrderWalk, InOrderWalk and PostOrderWalk) on T and
 * prints, on stdout, its trace: a header line and then one row per stack
 * operation:
 *
 *   step  action  p  stack    output
 *   1     push A  B  A        A
 *
 * the step number; the operation (push, pop, or top where postorder reads
 * the top with GetTop) and its node; p after the step, ^ for null; the
 * stack, bottom to top, each element followed by its flag in postorder;
 * and the nodes printed so far. An empty list shows as "-". Each field
 * starts at the column of its title, the columns being as wide as the
 * walk's widest field (the walk is run twice: once to measure, once to
 * print). Data outside printable ASCII shows as \xHH (a blank too). A row
 * holds at most TRACE_SHOWN elements of each list, so its length has a
 * bound. No tree prints nothing. */
void TraceWalk(Status (*walk)(BiTree, const WalkWatch &), BiTree T);

/* The trace of the level-order walk of T, on stdout: a line per level,
 *
 *   level K: X(pos) Y(pos)
 *
 * with each node's position as options 8 to 14 take it ("?" beyond int),
 * data as TraceWalk shows it. No tree prints nothing. */
void TraceLevels(BiTree T);

#endif
