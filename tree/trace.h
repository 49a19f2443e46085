/* trace.h - what tree_menu --trace shows: a walk step by step, as a hand
 * trace table. */
#ifndef TREE_TRACE_H
#define TREE_TRACE_H

#include "Bitree.h"

/* The width or page of TraceWalk and TraceLevels that the screen gives. */
#define TRACE_SCREEN (-1)

/* How many elements of the stack (and of the output so far) a row shows:
 * the top ones, after "...N more" ("...另N个") for those left out. */
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
 * bound. No tree prints nothing. The titles and actions are in the
 * session's language (lang.h; 步骤 操作 p 栈 输出, 进栈 出栈 读栈顶 in
 * Chinese), the columns counted in display columns.
 *
 * With width > 0 every line is fewer than width columns: the lists show
 * fewer elements (8, 4, 2, 1) where the rows would be wider, and where even
 * one is too many each row is wrapped. With page > 0 (the rows of a
 * terminal) the header is printed again before the row that would push it
 * off the screen, so that every row is read under its titles. TRACE_SCREEN
 * for either stands for the screen's: its width (80 without a terminal),
 * and its rows where stdout is a terminal, else 0 (a file or a pipe gets
 * the header once). */
void TraceWalk(Status (*walk)(BiTree, const WalkWatch &), BiTree T, int width = 0, int page = 0);

/* The trace of the level-order walk of T, on stdout: a line per level,
 *
 *   level K: X(pos) Y(pos)
 *
 * with each node's position as options 8 to 14 take it ("?" beyond int),
 * data as TraceWalk shows it ("第K层：" in Chinese). No tree prints nothing.
 * With width > 0 a level's labels go on as many lines as they need, each
 * fewer than width columns. */
void TraceLevels(BiTree T, int width = 0);

#endif
