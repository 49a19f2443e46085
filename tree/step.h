/* step.h - tree_menu --step: a walk shown one step at a time, as a
 * debugger shows a program: the tree with each node's state, the walk's
 * own loop with the line of the step marked, the stack as a column, p, the
 * nodes printed so far and a sentence saying what the step did and why.
 *
 * A frame is shown for step 1 of N; then each line read moves: an empty
 * line or "n" to the next step (past the last, the frames end), "b" back
 * one, a number from 1 to N to that step, "q" to the end; any other line
 * leaves the frame as it is with a line naming the keys. At a terminal each
 * frame replaces the last; in a pipe they follow one another. A frame is
 * the state after its step, found by walking again from the start, so
 * going back shows exactly the frame shown before. */
#ifndef TREE_STEP_H
#define TREE_STEP_H

#include "Bitree.h"
#include "label.h"

/* Each shows the steps of its walk on T (the level-order walk: a frame per
 * level). Before the first frame the rest of the option's line is read:
 * that is the first character the pause after the option would have read,
 * so they return how many characters of the pause they have taken (1; 0
 * where there is no step to show, no tree). */
int StepPreOrder(BiTree T);
int StepInOrder(BiTree T);
int StepPostOrder(BiTree T);
int StepLevelOrder(BiTree T);

/* The walks, for the two below. */
enum StepWalk { STEP_PREORDER, STEP_INORDER, STEP_POSTORDER, STEP_LEVELORDER };

/* The number of steps (levels for level order) of walk on T. */
long StepCount(StepWalk walk, BiTree T);

/* Prints frame k (1 to StepCount) of walk on T as a screen of width x
 * rows would show it (in at most rows lines of fewer than width columns,
 * the last row being kept for the line typed), the states marked as style
 * says. */
void PrintStepFrame(StepWalk walk, BiTree T, long k, int width, int rows, DrawMark style);

#endif
