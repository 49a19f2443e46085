/* SqQueue.cpp - the circular queue operations and the data file. */
#include "SqQueue.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "console.h"
#include "fail.h"
#include "fileio.h"

/* The file format and the length arithmetic take an int as 32 bits. */
static_assert(INT_MAX == 2147483647 && INT_MIN == -INT_MAX - 1, "int must be 32-bit");

/* Bytes of one element in the file. */
#define ELEM_BYTES 4

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

/* ---- The data file ------------------------------------------------------ */

const char *queue_file = QUEUE_FILE;

/* The reason of the last failed SaveFile or ReadF (fileio.h). */
static int g_file_error = 0;

const char *QueueFileError() {
    return FileErrorText(g_file_error);
}

/* Writes e to p as 4 bytes, least significant first, whatever the host's
 * byte order. The cast to unsigned keeps the two's complement bits. */
static void PutElem(unsigned char *p, int e) {
    unsigned long u = (unsigned long)(unsigned int)e;
    for (int i = 0; i < ELEM_BYTES; i++)
        p[i] = (unsigned char)((u >> (8 * i)) & 0xFF);
}

/* The int that the 4 little-endian bytes at p hold. Values above INT_MAX
 * are mapped to negatives by arithmetic, not by an implementation-defined
 * conversion. */
static int GetElem(const unsigned char *p) {
    unsigned long u = 0;
    for (int i = 0; i < ELEM_BYTES; i++)
        u |= (unsigned long)p[i] << (8 * i);
    if (u <= (unsigned long)INT_MAX) return (int)u;
    return (int)(u - 2147483648UL) + INT_MIN;
}

Status SaveFile(SqQueue &Q) {
    if (!Q.base) return INFEASIBLE;
    unsigned char bytes[MAXQSIZE * ELEM_BYTES];
    size_t size = 0;
    for (int i = Q.front; i != Q.rear; i = (i + 1) % MAXQSIZE) {
        PutElem(bytes + size, Q.base[i]);
        size += ELEM_BYTES;
    }

    FileResult result = SaveBytes(queue_file, bytes, size, &g_file_error);
    if (result == FILE_OPEN_FAILED) PrintLine("File open error");
    return result == FILE_DONE ? OK : ERROR;
}

Status ReadF(SqQueue &Q) {
    if (!Q.base) return INFEASIBLE;
    /* One byte more than MAXQSIZE elements tells a file that is too long
     * from one that just fits; the queue is touched only once the whole file
     * is known to fit. */
    unsigned char bytes[MAXQSIZE * ELEM_BYTES + 1];
    size_t size = 0;
    FileResult result = LoadBytes(queue_file, bytes, sizeof bytes, &size, &g_file_error);
    if (result == FILE_OPEN_FAILED) PrintLine("FILE OPEN ERROR");
    if (result != FILE_DONE) return ERROR;
    if (size >= MAXQSIZE * ELEM_BYTES) {
        g_file_error = EFBIG; /* "File too large": more than the queue holds */
        return ERROR;
    }

    int k = (int)(size / ELEM_BYTES); /* a partial last element is dropped */
    for (int i = 0; i < k; i++)
        Q.base[i] = GetElem(bytes + (size_t)i * ELEM_BYTES);
    Q.front = 0;
    Q.rear = k;
    return OK;
}
