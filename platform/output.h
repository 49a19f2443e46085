/* output.h - what the programs print, and how it reaches the user.
 *
 * The texts are UTF-8 in the sources. They go out as GBK bytes, or as UTF-8
 * on a POSIX terminal that cannot show GBK, or as UTF-16 characters at a
 * Windows console. Output is buffered and written out just before the
 * program waits for input, and at exit; a failed write ends the program
 * with a stderr line and status 1 (quietly when the reader of a pipe went
 * away).
 *
 * A text is converted on its first print and kept, by its address, in a
 * small table of converted texts, so that printing it again is a plain
 * write. A buffer printed again with other contents is seen as such and
 * converted each time.
 */
#ifndef PLATFORM_OUTPUT_H
#define PLATFORM_OUTPUT_H

/* The output encoding: chosen from where stdout goes (AUTO), or forced.
 *
 * AUTO: GBK, except UTF-8 on a POSIX terminal whose charset is not GBK, and
 * UTF-16 (WriteConsoleW) when stdout is a Windows console.
 * GBK, UTF8: these bytes wherever stdout goes. At a Windows console too: the
 * bytes are then written as they are and the console shows them by its own
 * code page, which the program leaves alone (936 shows GBK, 65001 UTF-8). */
enum OutputEncoding { ENCODING_AUTO, ENCODING_GBK, ENCODING_UTF8 };

/* Decides whether stdout is a terminal and which encoding the texts take,
 * and opens the converter. When the converter cannot be had, says so on
 * stderr and ends the program (status 1, or 254 without memory) before
 * anything is printed. Makes sure the output is written and checked at
 * exit. Call at the start of main; a later call (tests) forgets every text
 * converted before. */
void ConsoleInit(OutputEncoding encoding = ENCODING_AUTO);

/* Clears the screen of a terminal or console; does nothing when stdout is
 * redirected to a file or a pipe. */
void ClearScreen();

/* Prints one byte as it is (an element character). */
void PrintChar(char c);

/* Prints a UTF-8 text as it is, '%' included. */
void PrintText(const char *text);

/* Prints a UTF-8 text and a newline. */
void PrintLine(const char *text);

/* printf with a UTF-8 format: the format is converted before formatting, so
 * "%c" arguments go out as the raw bytes they are. */
void Print(const char *fmt, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

/* Writes out all pending output (the input layer calls it before it waits).
 * A failed write ends the program. */
void FlushOutput();

/* Before a line on stderr (fail.h calls it): writes out the pending output,
 * so that the line follows the texts it explains, and, when stdout and
 * stderr are one terminal and the last text did not end its line, ends
 * that line on stderr, so that the stderr line stands on its own. */
void ClearForComplaint();

#endif
