/* queue_file.cpp - the queue's data file: its byte format, and the save and
 * load through the platform's file layer. */
#include "queue_file.h"

#include <climits>

#include "cmdline.h"
#include "console.h"
#include "file.h"

/* The file format and the length arithmetic take an int as 32 bits. */
static_assert(INT_MAX == 2147483647 && INT_MIN == -INT_MAX - 1, "int must be 32-bit");

/* Bytes of one element in the file. */
#define ELEM_BYTES 4

const char *queue_file = QUEUE_FILE;

/* The reason of the last failed SaveFile or ReadF (file.h). */
static FileError g_file_error = {FILE_OK, 0};

const char *QueueFileError() {
    return FileErrorText(g_file_error);
}

const char *QueueFileName() {
    static char shown[4096];
    return ShownName(queue_file, shown, sizeof shown);
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
        g_file_error = {FILE_TOO_LARGE, 0}; /* more than the queue holds */
        return ERROR;
    }

    int k = (int)(size / ELEM_BYTES); /* a partial last element is dropped */
    for (int i = 0; i < k; i++)
        Q.base[i] = GetElem(bytes + (size_t)i * ELEM_BYTES);
    Q.front = 0;
    Q.rear = k;
    return OK;
}
