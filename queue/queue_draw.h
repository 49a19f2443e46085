/* queue_draw.h - the picture of the queue's storage that queue_menu --draw
 * shows above each menu. */
#ifndef QUEUE_QUEUE_DRAW_H
#define QUEUE_QUEUE_DRAW_H

#include "SqQueue.h"

/* The screen the picture fits by default: 80 columns, 24 lines. */
#define QDRAW_WIDTH 80
#define QDRAW_HEIGHT 24

/* Prints Q's storage on stdout in ASCII: whether the queue exists, front,
 * rear and the length, then each element as slot:value in slot order from
 * front, as many to a line as fit, all in columns as wide as the widest
 * value; where the elements wrap from slot MAXQSIZE - 1 to slot 0 a line
 * says so. The picture takes at most height lines of at most width - 1
 * characters: when the elements need more lines, they are left out from
 * the middle, with a line in their place that says how many: the head
 * element, the last one and, when the queue wraps, those in slot
 * MAXQSIZE - 1 and slot 0 stay in view. width is taken in 40 to 255,
 * height in 3 to 256. Q is only read. */
void DrawQueue(SqQueue Q, int width = QDRAW_WIDTH, int height = QDRAW_HEIGHT);

#endif
