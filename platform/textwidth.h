/* textwidth.h - the columns a text takes on a screen, and printing a text
 * so that none of its lines is wider than the screen. */
#ifndef PLATFORM_TEXTWIDTH_H
#define PLATFORM_TEXTWIDTH_H

#include <cstddef>

/* Columns that a UTF-8 text takes: 2 for each wide (CJK, full-width)
 * character, none for a terminal's escape sequence (ESC [ ... letter), 1 for
 * any other character. */
int TextWidth(const char *text);

/* The rows of a terminal width columns wide that text takes when printed
 * as it is, each of its lines wrapping where it is wider (a tab goes to the
 * next multiple of 8 columns). */
int ScreenRows(const char *text, int width);

/* The bytes of the first line of text on fewer than width columns (width
 * 2 or more), and in *next where the line after it starts (blanks at the
 * break dropped, a newline that ends the line passed). The line breaks at
 * the last blank, else the last closing punctuation (，；： and the
 * like), that leaves it half full or more, else next to a wide character (Chinese is written
 * without blanks; never before closing punctuation, never after an opening
 * bracket), else where the width ends; it never breaks inside a character
 * or an escape sequence. */
size_t FitLine(const char *text, int width, const char **next);

/* Prints text, in the session's language (lang.h), on lines of fewer than
 * width columns, broken where FitLine breaks them. Prints at most max_lines lines (the rest is left
 * out) and returns how many it printed; prints nothing and returns 0 when max_lines < 1. A width
 * under 2 is taken as 2. */
int PrintFitted(const char *text, int width, int max_lines);

/* PrintFitted without a line limit, and the last line left open (a
 * prompt, or a line the cursor waits behind). */
void PrintFittedOpen(const char *text, int width);

/* The lines PrintFitted(text, width, any) takes. */
int FittedLines(const char *text, int width);

#endif
