/* fail.h - how the programs say that they cannot go on.
 *
 * Every such message is one line on stderr that starts with the program's
 * name, so stdout keeps exactly the dialogue and nothing else. */
#ifndef PLATFORM_FAIL_H
#define PLATFORM_FAIL_H

/* Has the compiler check the arguments against the printf format. */
#if defined(__GNUC__)
#define PRINTF_LIKE(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define PRINTF_LIKE(fmt, args)
#endif

/* The name that starts every stderr line ("tree_menu", "queue_menu"). Call
 * once at the start of main; name must outlive the program (a literal). */
void SetProgramName(const char *name);
/* The name set by SetProgramName, or "menu" before it is set. */
const char *ProgramName();

/* Writes "<program>: <formatted text>\n" to stderr, after the output
 * waiting to be written, on a line of its own (output.h,
 * ClearForComplaint). */
void Complain(const char *fmt, ...) PRINTF_LIKE(1, 2);

/* No memory for a stack or a queue: says "<program>: out of memory" on
 * stderr and ends the process with status OVERFLOW (-2, seen as 254). */
[[noreturn]] void ExitOutOfMemory();

#endif
