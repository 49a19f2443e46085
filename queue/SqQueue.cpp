/* SqQueue.cpp - the circular queue operations. */
#include "SqQueue.h"

#include <cstdlib>

#include "console.h"
#include "output.h"

Status InitQueue(SqQueue &Q) {
    int *block = (int *)malloc(MAXQSIZE * sizeof(int));
    if (!block) ExitOutOfMemory();
    free(Q.base); /* the old elements go with their block */
    Q.base = block;
    Q.front = Q.rear = 0;
    return OK;
}

Status DestroyQueue(SqQueue &Q) {
    if (!Q.base) return INFEASIBLE;
    free(Q.base);
    Q.base = nullptr;
    return OK;
}

Status ClearQueue(SqQueue &Q) {
    if (!Q.base) return INFEASIBLE;
    for (int i = 0; i < MAXQSIZE; i++)
        Q.base[i] = 0;
    Q.front = Q.rear = 0;
    return OK;
}

Status QueueEmpty(SqQueue Q) {
    if (!Q.base) return INFEASIBLE;
    return Q.front == Q.rear ? TRUE : FALSE;
}

int QueueLength(SqQueue Q) {
    if (!Q.base) return INFEASIBLE;
    return (Q.rear - Q.front + MAXQSIZE) % MAXQSIZE;
}

Status GetHead(SqQueue Q, int &e) {
    if (!Q.base) return INFEASIBLE;
    if (Q.front == Q.rear) return EMPTYQUEUE;
    e = Q.base[Q.front];
    return OK;
}

Status EnQueue(SqQueue &Q, int e) {
    if (!Q.base) return INFEASIBLE;
    if ((Q.rear + 1) % MAXQSIZE == Q.front) return ERROR;
    Q.base[Q.rear] = e;
    Q.rear = (Q.rear + 1) % MAXQSIZE;
    return OK;
}

Status DeQueue(SqQueue &Q, int &e) {
    if (!Q.base) return INFEASIBLE;
    if (Q.front == Q.rear) return ERROR;
    e = Q.base[Q.front];
    Q.front = (Q.front + 1) % MAXQSIZE;
    return OK;
}

Status QueueTravserse(SqQueue Q) {
    if (!Q.base) return INFEASIBLE;
    if (Q.front == Q.rear) return EMPTYQUEUE;
    PrintLine("\n-----------all elements -----------------------");
    for (int i = Q.front; i != Q.rear; i = (i + 1) % MAXQSIZE)
        Print("%d\t", Q.base[i]);
    PrintLine("\n------------------ end ------------------------");
    return OK;
}
