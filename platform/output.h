/* output.h - what the programs print, how it reaches the user, and how they
 * say that they cannot go on.
 *
 * The texts are UTF-8 in the sources. They go out as GBK bytes, or as UTF-8
 * on a POSIX terminal that cannot show GBK, or as UTF-16 characters at a
 * Windows console. Output is buffered and written out just before the
 * program waits for input, and at exit; a failed write ends the program
 * with a stderr line and status 1 (quietly when the reader of a pipe went
 * away). A text is kept in its output form on its first print, by its
 * address (one text a slot; a text that finds another in its slot takes its
 * place), so that printing it again copies the kept bytes; a buffer
 * refilled between two prints is told by its bytes (PrintFixedLine's texts
 * are not looked at).
 *
 * Complaints are one line on stderr that starts with the program's name,
 * so stdout keeps exactly the dialogue and nothing else.
 */
#ifndef PLATFORM_OUTPUT_H
#define PLATFORM_OUTPUT_H

/* Has the compiler check the arguments against the printf format. */
#if defined(__GNUC__)
#define PRINTF_LIKE(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define PRINTF_LIKE(fmt, args)
#endif

/* AUTO: GBK, except UTF-8 on a POSIX terminal whose charset is not GBK, and
 * UTF-16 at a Windows console. GBK, UTF8: these bytes wherever stdout goes,
 * at a Windows console too, which shows them by its own code page. */
enum OutputEncoding { ENCODING_AUTO, ENCODING_GBK, ENCODING_UTF8 };

/* The name that starts every stderr line ("tree_menu", "queue_menu"). Call
 * once at the start of main; name must outlive the program (a literal). */
void SetProgramName(const char *name);
/* The name set by SetProgramName, or "menu" before it is set. */
const char *ProgramName();

/* Makes the process-wide settings (console_system.h, SetUpProcess),
 * decides whether stdout is a terminal and which encoding the texts take,
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
/* Prints a fixed text and a newline: a text that stays as it is, at its
 * address, for the whole run (a literal, a row of a table of literals). It
 * is converted once and then copied by its address alone, unlike PrintLine's,
 * whose bytes are compared with those kept (a buffer refilled prints what it
 * holds now). */
void PrintFixedLine(const char *text);
/* printf with a UTF-8 format, a fixed text: the format is converted before
 * formatting, so "%c" arguments go out as the raw bytes they are. */
void Print(const char *fmt, ...) PRINTF_LIKE(1, 2);

/* Ends the line when the last text printed left it open. */
void EndLine();

/* Writes out all pending output (before every read). A failed write ends
 * the program. */
void FlushOutput();

/* Writes "<program>: <formatted text>\n" to stderr after the output waiting
 * to be written, on a line of its own: when stdout and stderr are one
 * terminal and the last text left its line open, that line is ended. */
void Complain(const char *fmt, ...) PRINTF_LIKE(1, 2);

/* No memory for a stack or a queue: says "<program>: out of memory" on
 * stderr and ends the process with status OVERFLOW (-2, seen as 254). */
[[noreturn]] void ExitOutOfMemory();

#endif
