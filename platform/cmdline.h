/* cmdline.h - the command-line reader of the menu programs. A program gives
 * it a table of its own options; the reader knows only those both programs
 * take:
 *
 *   --draw             draw the structure above every menu
 *   --learn            --draw, and say what the pause waits for and which
 *                      choices are out of range (a program may turn on
 *                      more views of its own with it)
 *   --encoding ENC     force the output encoding: gbk or utf-8
 *   --lang LANG        the language of the dialogue: zh (the default) or en
 *   -h, --help         print the program's help to stdout and end, status 0
 *   --version          print "<program> <version>" and end with status 0
 *
 * Options come in any order, "--" ends them, and a value option takes the
 * next argument even when it starts with '-'. A value may also be joined
 * with "=" ("--encoding=gbk"). A mistake gives one line on stderr that
 * names it and points to --help, nothing on stdout, and status 2.
 */
#ifndef PLATFORM_CMDLINE_H
#define PLATFORM_CMDLINE_H

#include <cstddef>

#include "lang.h"
#include "output.h"

/* Checks the value of an option: returns null when it is good, else a text
 * naming the problem (written into why, size bytes, or a literal). */
typedef const char *(*CheckValue)(const char *value, char *why, size_t size);

/* One option: its name, and where it goes. A flag sets *flag to true; a
 * value option (value not null) puts its value, a pointer into argv, in
 * *value once check (when not null) has found it good. A problem is said
 * as "<name>: <problem>". */
struct CmdOption {
    const char *name;
    bool *flag;
    const char **value;
    CheckValue check;
};

/* The options both programs take. */
struct CmdShared {
    bool draw;               /* --draw, or --learn */
    bool learn;              /* --learn */
    OutputEncoding encoding; /* ENCODING_AUTO unless --encoding was given */
    Language lang;           /* --lang; LANG_ZH when not given */
};

/* Writes an argument (an option's value, a file's name) into out, cap bytes
 * (cap > 4), fit for a message: control characters as '?', cut short
 * with "..." (never inside a UTF-8 character) where it does not fit.
 * Returns out. */
const char *ShownName(const char *name, char *out, size_t cap);

/* The program's arguments as UTF-8 (on Windows read anew from the wide
 * command line, *argc updated), for ParseCmdLine. No memory for them ends
 * the program. */
char **Utf8Arguments(int *argc, char **argv);

/* ParseCmdLine's result when the program is to go on. */
const int CMD_RUN = -1;
/* The exit status after a mistake on the command line. */
const int CMD_USAGE = 2;

/* Reads argv[1..argc-1]: the shared options into shared, the program's own
 * (own, n rows) where their rows say. Returns CMD_RUN when the program is to
 * go on; otherwise the status it must end with at once: 0 after printing
 * help or "<program> <version>" on stdout, CMD_USAGE after one line on
 * stderr. The program name is ProgramName() (output.h). */
int ParseCmdLine(int argc, char *const *argv, const char *help, const CmdOption *own, size_t n,
                 CmdShared &shared);

#endif
