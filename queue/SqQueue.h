/* SqQueue.h - the bounded circular queue of ints (its data file:
 * queue_file.h). */
#ifndef QUEUE_SQQUEUE_H
#define QUEUE_SQQUEUE_H

/* Result of an operation. The queue operations use -1 for "no queue" and,
 * in GetHead and QueueTravserse, -2 for "empty"; the menu tells the four
 * numbers 1, 0, -1 and -2 apart. Some headers (glibc's math.h) define
 * OVERFLOW for their own use; here it is the status. */
typedef int Status;
#define TRUE 1
#define FALSE 0
#define OK 1
#define ERROR 0
#define INFEASIBLE -1 /* the queue does not exist */
#define EMPTYQUEUE -2 /* GetHead, QueueTravserse: the queue holds nothing */
#ifdef OVERFLOW
#undef OVERFLOW
#endif
#define OVERFLOW -2 /* exit status when InitQueue gets no storage */

#define MAXQSIZE 100 /* slots in the block; at most MAXQSIZE - 1 elements */

/* base null: no queue (front and rear mean nothing). Otherwise base points to
 * MAXQSIZE slots owned by the record, front and rear lie in 0..MAXQSIZE-1,
 * the elements, head first, are base[front], base[front+1], ... up to but not
 * including base[rear] (indices modulo MAXQSIZE); front == rear means empty,
 * (rear + 1) % MAXQSIZE == front means full, so one slot always stays free.
 * A by-value copy shares the block. */
typedef struct {
    int *base;
    int front; /* slot of the head element */
    int rear;  /* slot the next appended element goes to */
} SqQueue;

/* Gives Q a new block of MAXQSIZE slots and makes it empty. Q.base must be
 * null or a block from an earlier InitQueue, which is freed. Without memory
 * the process ends with status OVERFLOW after a line on stderr. Returns OK. */
Status InitQueue(SqQueue &Q);
/* Frees Q's block and nulls Q.base: OK, or INFEASIBLE when there is no
 * queue. */
Status DestroyQueue(SqQueue &Q);
/* Zeroes every slot and empties Q, keeping the block: OK, or INFEASIBLE. */
Status ClearQueue(SqQueue &Q);
/* INFEASIBLE with no queue, TRUE when Q is empty, else FALSE. */
Status QueueEmpty(SqQueue Q);
/* The number of elements (0 to MAXQSIZE - 1), or INFEASIBLE. */
int QueueLength(SqQueue Q);
/* Copies the head element to e: OK, INFEASIBLE, or EMPTYQUEUE; e is written
 * only on OK. */
Status GetHead(SqQueue Q, int &e);
/* Appends e at the rear: OK, INFEASIBLE, or ERROR when Q is full (nothing
 * stored). */
Status EnQueue(SqQueue &Q, int e);
/* Removes the head element into e: OK, INFEASIBLE, or ERROR when Q is empty
 * (e untouched). */
Status DeQueue(SqQueue &Q, int &e);
/* Prints the elements head first, each as "%d\t", on one line between two
 * rules: OK, or INFEASIBLE / EMPTYQUEUE with nothing printed. */
Status QueueTravserse(SqQueue Q);

#endif
