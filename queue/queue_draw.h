/* queue_draw.h - the picture of the queue's storage that queue_menu --draw
 * shows above each menu. */
#ifndef QUEUE_QUEUE_DRAW_H
#define QUEUE_QUEUE_DRAW_H

#include "SqQueue.h"

/* The screen the picture fits by default: 80 columns, 24 lines. */
#define QDRAW_WIDTH 80
#define QDRAW_HEIGHT 24

/* Prints Q's storage on stdout as a ring: a line that gives front, rear
 * and the length and says whether the queue is empty (front == rear), full
 * ((rear+1)%MAXQSIZE == front) or neither; a line that tells the marks; then
 * every slot from 0 to MAXQSIZE - 1 as a cell "Mss:value", as many to a
 * line as fit: M is F on front's slot, R on rear's, blank elsewhere; an
 * empty slot shows no value, and the slot kept free (the one before front,
 * never filled, so that a full queue differs from an empty one) shows '*'.
 * No queue gives one line that says so.
 *
 * The picture takes at most height lines of fewer than width columns, its
 * texts in the session's language (lang.h). Where the cells need more
 * lines, the rows of front, rear, the slot kept free, the last element and,
 * when the elements wrap from slot MAXQSIZE - 1 to slot 0, of both of these
 * slots stay in view with as many neighbours as fit; each run of rows left
 * out is a line that counts its elements. Lines that do not fit at all are
 * left out from the end. width is taken in 20 to 255, height in 1 to 256.
 * Q is only read. */
void DrawQueue(SqQueue Q, int width = QDRAW_WIDTH, int height = QDRAW_HEIGHT);

#endif
