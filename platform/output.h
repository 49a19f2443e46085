/* output.h - what the programs print, and how it reaches the user.
 *
 * The texts are UTF-8 in the sources. They go out as GBK bytes, or as UTF-8
 * on a POSIX terminal that cannot show GBK, or as UTF-16 characters at a
 * Windows console. Output is buffered and written out just before the
 * program waits for input, and at exit; a failed write ends the program
 * with a stderr line and status 1 (quietly when the reader of a pipe went
 * away). A text is converted on its first print and kept by its address,
 * so that printing it again is a plain write; a buffer refilled between two
 * prints is seen as such and converted each time.
 */
#ifndef PLATFORM_OUTPUT_H
#define PLATFORM_OUTPUT_H

#include "fail.h"

/* AUTO: GBK, except UTF-8 on a POSIX terminal whose charset is not GBK, and
 * UTF-16 at a Windows console. GBK, UTF8: these bytes wherever stdout goes,
 * at a Windows console too, which shows them by its own code page. */
enum OutputEncoding { ENCODING_AUTO, ENCODING_GBK, ENCODING_UTF8 };

/* Decides whether stdout is a terminal and which encoding the texts take,
 * and opens the converter; without it, says so on stderr and ends the
 * program (status 1, or 254 without memory). Makes sure the output is
 * written and checked at exit. A later call (tests) forgets the kept texts. */
void ConsoleInit(OutputEncoding encoding = ENCODING_AUTO);

/* Clears the screen of a terminal or console; nothing when redirected. */
void ClearScreen();

/* Prints one byte as it is (an element character). */
void PrintChar(char c);
/* Prints a UTF-8 text as it is, '%' included. */
void PrintText(const char *text);
/* Prints a UTF-8 text and a newline. */
void PrintLine(const char *text);
/* printf with a UTF-8 format: the format is converted before formatting, so
 * "%c" arguments go out as the raw bytes they are. */
void Print(const char *fmt, ...) PRINTF_LIKE(1, 2);

/* Ends the line when the last text printed left it open. */
void EndLine();

/* Writes out all pending output (before every read). A failed write ends
 * the program. */
void FlushOutput();

/* Before a line on stderr (Complain): writes out the pending output, and
 * when stdout and stderr are one terminal and the last text left its line
 * open, ends that line, so that the stderr line stands on its own. */
void ClearForComplaint();

#endif
