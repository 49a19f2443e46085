/* queue_draw.h - the picture of the queue's storage that queue_menu --draw
 * shows above each menu. */
#ifndef QUEUE_QUEUE_DRAW_H
#define QUEUE_QUEUE_DRAW_H

#include "SqQueue.h"

/* Prints Q's storage on stdout in ASCII: whether the queue exists, front,
 * rear and the length, then each element as slot:value, five to a line, in
 * slot order from front; where the elements wrap from slot MAXQSIZE - 1 to
 * slot 0 a line says so. At most 23 lines of at most 79 characters. Q is
 * only read. */
void DrawQueue(SqQueue Q);

#endif
