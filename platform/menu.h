/* menu.h - the menu round both programs run, and the start they share. */
#ifndef PLATFORM_MENU_H
#define PLATFORM_MENU_H

#include <cstddef>

#include "cmdline.h"
#include "lang.h"

/* Draws a program's structure (--draw) in cols x rows characters. */
typedef void (*DrawFn)(int cols, int rows);

/* One menu round: clears the screen, calls draw (when not null) with the
 * screen's width and the rows the menu leaves free under the picture, so
 * that the picture's first line and the prompt are seen together; prints
 * the n menu lines (each as a line) and the prompt, and reads the choice.
 * A choice that is not a number is dropped with the rest of its line and
 * gives -1, which no menu offers, so the menu is drawn again. */
int MenuChoice(const char *const *lines, size_t n, const char *prompt, DrawFn draw = nullptr);

struct MenuProgram {
    const char *name;                  /* starts its stderr lines (fail.h) */
    CmdKnown known;                    /* its --help and options */
    const char *const *lines;          /* the menu lines */
    size_t n;                          /* how many */
    const char *prompt;                /* after them */
    int last;                          /* options 1 to last run; 0 ends */
    void (*start)(const CmdOptions &); /* takes the options it knows */
    void (*run)(int op);               /* runs option op, its pause too */
    DrawFn draw;                       /* the --draw picture */
    const Translation *texts;          /* its catalog (lang.h) */
    size_t ntexts;                     /* its rows */
};

/* The whole of a menu program's main: the arguments (as UTF-8), the
 * command line, the console and the session's language, then menu rounds until option 0. Returns
 * the exit status. With --learn, a choice outside 0 to last is named on a line above the next menu
 * (after the screen is cleared, so that it is seen; the picture leaves it a row). */
int RunMenuProgram(int argc, char **argv, const MenuProgram &program);

/* The pause after an option: reads and drops n characters (Pause). With
 * --learn a line first says how many presses of the Enter key that takes,
 * counting those already typed; none when it takes none. */
void MenuPause(int n);

#endif
