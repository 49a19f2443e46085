/* queue_file.h - the queue's save to and load from its data file, "data.dat"
 * in the working directory unless the program is told another. */
#ifndef QUEUE_QUEUE_FILE_H
#define QUEUE_QUEUE_FILE_H

#include "SqQueue.h"

/* The file SaveFile writes and ReadF reads. */
#define QUEUE_FILE "data.dat"

/* The path SaveFile and ReadF use: QUEUE_FILE unless the program was told
 * another (queue_menu --file PATH). */
extern const char *queue_file;

/* Writes Q's elements, head first, to the file queue_file as 4-byte
 * little-endian ints. Q is not changed. The bytes go to a new file that
 * takes the old one's place once durable on the disk, or, where no such file
 * can stand in for it (a read-only folder, hard links), over the old bytes
 * in place (SaveBytes, file.h). Returns OK; INFEASIBLE with no queue (no
 * file touched); ERROR after printing the line "File open error" when the
 * file cannot be written or created or is not a regular file (nothing
 * changed); ERROR without a line when a later step fails (the old file, or
 * its absence, kept). QueueFileError() then says why. */
Status SaveFile(SqQueue &Q);
/* Replaces Q's elements with those in queue_file: front becomes 0 and rear
 * the number of whole 4-byte elements; 1 to 3 trailing bytes are ignored.
 * Returns OK; INFEASIBLE with no queue (no file opened); ERROR when the file
 * cannot be opened or is not a regular file (a folder, a FIFO, a device:
 * after printing the line "FILE OPEN ERROR", never waiting on it), cannot be
 * read, or holds MAXQSIZE or more elements. On every result but OK the queue
 * is left exactly as it was, and QueueFileError() says why. */
Status ReadF(SqQueue &Q);

/* Why the last SaveFile or ReadF that returned ERROR failed, as the system
 * says it ("Permission denied"). */
const char *QueueFileError();

/* queue_file as a message shows it: control characters as '?'. */
const char *QueueFileName();

#endif
