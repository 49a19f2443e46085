/* termsize.h - the size of the screen the programs print on, so that their
 * --draw pictures and the menu under them fit it. */
#ifndef PLATFORM_TERMSIZE_H
#define PLATFORM_TERMSIZE_H

#include <cstddef>

/* The size assumed where stdout is no terminal or console. */
#define TERM_DEFAULT_COLS 80
#define TERM_DEFAULT_ROWS 24

typedef struct {
    int cols; /* characters a line holds */
    int rows; /* lines seen at once */
} TermSize;

/* The size of the terminal (POSIX, TIOCGWINSZ) or of the console window
 * (Windows, GetConsoleScreenBufferInfo: the visible part of the buffer) that
 * stdout is; TERM_DEFAULT_COLS x TERM_DEFAULT_ROWS when stdout is a file or
 * a pipe, or the system tells no size. Asked anew at each call, so a window
 * resized between two menus is followed. */
TermSize GetTermSize();

/* Whether stdout is a terminal that shows reverse video by the ANSI escape
 * sequence: a POSIX terminal. A Windows console is not taken to. */
bool TermShowsReverse();

/* The rows that n lines, each printed as a line, and a prompt after them
 * take on the screen: a line holding k newlines takes k + 1 rows. Lines
 * are taken to fit the width. */
int MenuRows(const char *const *lines, size_t n);

#endif
