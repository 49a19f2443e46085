/* console_system.h - what the console layer needs from the system, one
 * contract with one file per system: console_posix.cpp, console_windows.cpp,
 * console_emscripten.cpp (the WebAssembly build).
 * Not for the programs; the layer's own tests use Utf8ToGbk. Its functions
 * return what went wrong; they print no complaint and end nothing. */
#ifndef PLATFORM_CONSOLE_SYSTEM_H
#define PLATFORM_CONSOLE_SYSTEM_H

#include <cstddef>
#include <cstdio>

#include "output.h"
#include "termsize.h"

/* Whether stdout is a terminal (POSIX) or a console (Windows); whether
 * stderr goes to the very terminal or console that stdout is. */
bool StdoutIsTerminal();
bool StderrIsStdoutTerminal();

/* The process-wide settings the programs run with, made once at start
 * (ConsoleInit): on POSIX, a closed pipe ends the program at its next
 * write, as for any filter, even when the parent had SIGPIPE ignored; and a
 * file-size limit fails a write (the save reports it) instead of ending
 * the program. */
void SetUpProcess();

/* The program's arguments as UTF-8: argv itself where the system gives
 * them so, else read anew from the system (Windows: its wide command line,
 * *argc updated), in blocks kept for the whole run; null without memory. */
char **SystemArguments(int *argc, char **argv);

/* Sets up the sink for encoding at this stdout; returns true when the texts
 * are to be given to SinkWrite as UTF-8, false when as GBK. */
bool ChooseSink(OutputEncoding encoding, bool terminal);

/* Opens the UTF-8 to GBK converter unless it is open. Returns false when it
 * cannot be had, errno telling why (ENOMEM: no memory). */
bool OpenConverter();
void CloseConverter();

/* Converts a UTF-8 text to GBK into out (outsize bytes, zero-terminated).
 * Returns the length of the result, or (size_t)-1 when the text cannot be
 * converted or does not fit. Opens the converter when needed. */
size_t Utf8ToGbk(const char *utf8, char *out, size_t outsize);

/* Hands n bytes (GBK or UTF-8, ending with a whole character) on to be
 * written, after those before; a failure is kept for SinkFlush. */
void SinkWrite(const char *bytes, size_t n);

/* The stdio stream SinkWrite hands its bytes to unchanged, or null where it
 * takes them another way (a Windows console, the web page). Formatted
 * output goes straight into such a stream, which spares a copy per print. */
FILE *SinkStream();

/* Writes out everything handed on, and tells whether every write since the
 * last call succeeded; on false, errno tells why. */
bool SinkFlush();

/* Whether the failed write (errno err) met a pipe whose reader went away. */
bool ReaderGone(int err);

/* Clears the terminal or console that stdout is, all output before having
 * been written out (SinkFlush). Returns false, errno telling why, when a
 * write fails. */
bool ClearTerminal();

/* Reads up to n bytes of standard input into buf: the count, 0 at the end
 * of input, -1 with errno on an error. */
long ReadInput(char *buf, size_t n);

/* What the system says of stdout's size (POSIX: TIOCGWINSZ; Windows: the
 * visible part of the console buffer); false when stdout is no terminal or
 * console. */
bool AskTermSize(TermSize *size);

/* Whether stdout is a terminal that shows reverse video by the ANSI escape
 * sequence: a POSIX terminal. A Windows console is not taken to. */
bool TermShowsReverse();

#endif
