/* console.h - what both menu programs need from the console.
 *
 * Every print and every read of the programs goes through here, so that
 *  - the Chinese texts, held in the sources as UTF-8, reach the user as GBK
 *    bytes (or as UTF-8 on a POSIX terminal that cannot show GBK);
 *  - stdout is flushed before every read, so a prompt is seen before the wait;
 *  - bad input is recognised instead of being left in the stream, and the end
 *    of input ends the program (status 0) instead of looping on forever.
 */
#ifndef PLATFORM_CONSOLE_H
#define PLATFORM_CONSOLE_H

#include <cstddef>

/* The output encoding: chosen from where stdout goes (AUTO), or forced. */
enum OutputEncoding { ENCODING_AUTO, ENCODING_GBK, ENCODING_UTF8 };

/* Chooses the output encoding and, on Windows, the console code page (936,
 * put back as it was when the program exits). Call once at the start of
 * main, before anything is printed. */
void ConsoleInit(OutputEncoding encoding = ENCODING_AUTO);

/* Clears the screen: "cls" in a Windows console; the clear-and-home sequence
 * on a POSIX terminal; nothing at all when stdout is not a terminal or
 * console (redirected to a file or a pipe). */
void ClearScreen();

/* printf with a UTF-8 format text. The format is converted to the output
 * encoding before formatting, so "%c" arguments go out as the raw bytes they
 * are. */
void Print(const char *fmt, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

/* Prints a UTF-8 text as it is, '%' included. */
void PrintText(const char *text);

/* Prints one byte as it is (an element character). */
void PrintChar(char c);

/* Prints a UTF-8 text followed by a newline. */
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

/* Reads one character (getchar); the end of input ends the program. */
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

#endif
