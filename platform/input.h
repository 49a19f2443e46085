/* input.h - what the programs read: numbers and single characters from
 * standard input, read ahead in blocks. Whatever waits to be printed is
 * written out before the program waits for input. Bad input is recognised
 * instead of being left in the stream, and the end of input ends the program
 * (status 0) instead of looping on forever. */
#ifndef PLATFORM_INPUT_H
#define PLATFORM_INPUT_H

#include <cstddef>

/* Result of ReadInt. */
enum ReadResult { READ_OK = 1, READ_NAN = 0 };

/* Reads an int the way scanf("%d") does: skips white space, takes an optional
 * sign and the digits, and leaves the character after them unread. No digits,
 * or a value outside the int range (all its digits are consumed), gives
 * READ_NAN and leaves *out alone. End of input before any digit ends the
 * program with status 0. */
ReadResult ReadInt(int *out);

/* Reads one character; the end of input ends the program. */
int ReadChar();

/* Discards the rest of the current line; the newline itself too when
 * withNewline is true. The end of input ends the program. */
void DiscardLine(bool withNewline);

/* Waits for the user: reads and drops n single characters. */
void Pause(int n);

/* How many of the next n characters are already typed, up to the end of
 * the line being read (a terminal gives a line at a time; a pipe is read
 * as if it did): the others a read of n characters waits for. */
int CharsAhead(int n);

/* Reads the rest of the current line and its newline; keeps at most
 * size - 1 bytes of it in line, zero-ended. Returns false, with line empty,
 * at the end of input, which it leaves to the caller. */
bool ReadLineOrEnd(char *line, size_t size);

/* Forgets the input read ahead and an end of input seen: the next read
 * starts afresh on file descriptor 0. For tests that give the process a new
 * stdin. */
void DropInput();

#endif
