/* termsize.h - the size of the screen the programs print on, so that their
 * --draw pictures and the menu under them fit it. */
#ifndef PLATFORM_TERMSIZE_H
#define PLATFORM_TERMSIZE_H

/* The size assumed where stdout is no terminal or console. */
#define TERM_DEFAULT_COLS 80
#define TERM_DEFAULT_ROWS 24

typedef struct {
    int cols; /* characters a line holds */
    int rows; /* lines seen at once */
} TermSize;

/* The size of the terminal or console window that stdout is, asked anew at
 * each call (a window resized between two menus is followed); the default
 * size where stdout is none, or the system tells no size (a terminal not
 * given one reports 0 x 0). */
TermSize GetTermSize();

/* The rows of the terminal or console that stdout is, 0 where it is none
 * (a file or a pipe, which no screenful scrolls away). */
int TerminalRows();

/* Whether the screen shows the attributes of ANSI escape sequences (reverse
 * video, underline, bold, colour): a POSIX terminal or the web page, not a
 * Windows console, nor a file or a pipe. */
bool ScreenShowsAttributes();

#endif
