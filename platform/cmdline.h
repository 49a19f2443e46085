/* cmdline.h - the command line of both menu programs.
 *
 *   --draw             draw the structure above every menu
 *   --encoding ENC     force the output encoding: gbk or utf-8
 *   --lang LANG        the language of the dialogue: zh (the default) or en
 *   --tree DESCRIPTION (tree_menu) the preorder description to build from
 *   --file PATH        (queue_menu) the data file of options 10 and 11
 *   --trace            (tree_menu) print each stack step of the walks
 *   --step             (tree_menu) show the walks one step at a time
 *   --learn            --draw and --trace, and say what the pause waits
 *                      for and which choices are out of range
 *   -h, --help         print the usage to stdout and end with status 0
 *   --version          print "<program> <version>" and end with status 0
 *
 * Options come in any order, "--" ends them, and a value option takes the
 * next argument whatever it starts with ("--tree -##" is the tree "-"). A
 * value may also be joined with "=" ("--encoding=gbk"). A mistake gives one
 * line on stderr that names it and points to --help, nothing on stdout, and
 * status 2.
 */
#ifndef PLATFORM_CMDLINE_H
#define PLATFORM_CMDLINE_H

#include <cstddef>

#include "lang.h"
#include "output.h"

/* Checks the value of an option: returns null when it is good, else a text
 * naming the problem (written into why, size bytes, or a literal). */
typedef const char *(*CheckValue)(const char *value, char *why, size_t size);

/* What a program takes: its --help text (printed as it is) and which of the
 * program-specific options it knows. --draw, --learn, --encoding, --lang,
 * -h, --help and --version are known to both. */
struct CmdKnown {
    const char *help;
    CheckValue check_tree; /* --tree is known when this is not null */
    bool takes_file;       /* --file is known */
    bool takes_trace;      /* --trace and --step are known */
};

/* What the command line asked for. The strings point into argv. */
struct CmdOptions {
    bool draw;
    OutputEncoding encoding; /* ENCODING_AUTO unless --encoding was given */
    const char *tree;        /* --tree, already checked; null when not given */
    const char *file;        /* --file; null when not given */
    bool trace;              /* --trace, or --learn where --trace is known */
    bool step;               /* --step */
    bool learn;              /* --learn (draw and trace are set too) */
    Language lang;           /* --lang; LANG_ZH when not given */
};

/* ParseCmdLine's result when the program is to go on. */
const int CMD_RUN = -1;
/* The exit status after a mistake on the command line. */
const int CMD_USAGE = 2;

/* Reads argv[1..argc-1] into out. Returns CMD_RUN when the program is to go
 * on; otherwise the status it must end with at once: 0 after printing the
 * help or "<program> <version>" on stdout, CMD_USAGE after one line on
 * stderr. The program name is ProgramName() (fail.h). */
int ParseCmdLine(int argc, char *const *argv, const CmdKnown &known, CmdOptions &out);

#endif
