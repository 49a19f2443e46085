/* termsize.cpp - see termsize.h. One function per system asks for the
 * size; the rest is shared. */
#include "termsize.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

#ifdef _WIN32

/* The visible window of the console buffer, when stdout is a console. */
static bool AskSize(TermSize *size) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info)) return false;
    size->cols = info.srWindow.Right - info.srWindow.Left + 1;
    size->rows = info.srWindow.Bottom - info.srWindow.Top + 1;
    return true;
}

bool TermShowsReverse() {
    return false;
}

#else

/* The terminal's size, when stdout is a terminal. */
static bool AskSize(TermSize *size) {
    struct winsize ws;
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) != 0) return false;
    size->cols = ws.ws_col;
    size->rows = ws.ws_row;
    return true;
}

bool TermShowsReverse() {
    return isatty(STDOUT_FILENO) != 0;
}

#endif

TermSize GetTermSize() {
    TermSize size;
    /* A terminal that has not been given a size reports 0 x 0. */
    if (!AskSize(&size) || size.cols <= 0 || size.rows <= 0)
        size = {TERM_DEFAULT_COLS, TERM_DEFAULT_ROWS};
    return size;
}

int MenuRows(const char *const *lines, size_t n) {
    int rows = 1; /* the prompt's */
    for (size_t i = 0; i < n; i++) {
        rows++;
        for (const char *c = lines[i]; *c; c++)
            if (*c == '\n') rows++;
    }
    return rows;
}
