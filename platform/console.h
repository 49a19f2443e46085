/* console.h - what both menu programs need from the console.
 *
 * Every print and every read of the programs goes through here, so that
 *  - the Chinese texts, held in the sources as UTF-8, reach the user as GBK
 *    bytes (or as UTF-8 on a POSIX terminal that cannot show GBK, or as
 *    UTF-16 characters in a Windows console);
 *  - each fixed text is converted once, on its first print, and from then
 *    on printing it is a copy;
 *  - output is buffered and written out just before the program waits for
 *    input (and at exit), so a prompt is seen before the wait;
 *  - a failed write of stdout ends the program with a line on stderr and a
 *    non-zero status; a reader that went away (a closed pipe) ends it
 *    quietly;
 *  - bad input is recognised instead of being left in the stream, and the end
 *    of input ends the program (status 0) instead of looping on forever.
 *
 * The converted form of each text is kept by the text's address and reused
 * while the text there is the same, so the fixed texts (string literals) are
 * converted once; a buffer whose text changes is converted again. The menu
 * lines given to MenuChoice must be a constant table.
 */
#ifndef PLATFORM_CONSOLE_H
#define PLATFORM_CONSOLE_H

#include <cstddef>

/* The output encoding: chosen from where stdout goes (AUTO), or forced.
 *
 * AUTO: GBK, except UTF-8 on a POSIX terminal whose charset is not GBK, and
 * UTF-16 (WriteConsoleW) when stdout is a Windows console.
 * GBK, UTF8: these bytes wherever stdout goes. At a Windows console too: the
 * bytes are then written as they are and the console shows them by its own
 * code page, which the program leaves alone (936 shows GBK, 65001 UTF-8). */
enum OutputEncoding { ENCODING_AUTO, ENCODING_GBK, ENCODING_UTF8 };

/* Decides, once, whether stdout is a terminal and which encoding the texts
 * take, and sets up the converter and stdout's buffer. When the converter
 * cannot be had, says so on stderr and ends the program (status 1, or 254
 * without memory) before anything is printed. Also makes sure the program's
 * output is checked at exit: a write error then gives a stderr line and
 * status 1. Call once at the start of main, before anything is printed. */
void ConsoleInit(OutputEncoding encoding = ENCODING_AUTO);

/* Clears the screen: "cls" in a Windows console; the clear-and-home sequence
 * on a POSIX terminal; nothing at all when stdout is not a terminal or
 * console (redirected to a file or a pipe). */
void ClearScreen();

/* printf with a fixed UTF-8 format text. The format is converted to the
 * output encoding before formatting, so "%c" arguments go out as the raw
 * bytes they are. */
void Print(const char *fmt, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

/* Prints a fixed UTF-8 text as it is, '%' included. */
void PrintText(const char *text);

/* Prints one byte as it is (an element character). */
void PrintChar(char c);

/* Prints a fixed UTF-8 text followed by a newline. */
void PrintLine(const char *text);

/* Converts a UTF-8 text to GBK into out (outsize bytes, zero-terminated).
 * Returns the length of the result, or (size_t)-1 when the text cannot be
 * converted or does not fit. */
size_t Utf8ToGbk(const char *utf8, char *out, size_t outsize);

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

/* One menu round: clears the screen, calls draw (when not null) to show the
 * program's structure, prints the n menu lines (each as a line) and the
 * prompt, and reads the choice. A choice that is not a number is dropped with
 * the rest of its line and gives -1, which no menu offers, so the menu is
 * drawn again. */
int MenuChoice(const char *const *lines, size_t n, const char *prompt, void (*draw)() = nullptr);

/* Forgets the input read ahead and not yet used, and an end of input seen:
 * the next read starts afresh on file descriptor 0. For tests that give the
 * process a new stdin. */
void DropInput();

#endif
