/* termsize_posix.cpp - the terminal's size on POSIX systems. See termsize.h. */
#include "termsize.h"

#include <sys/ioctl.h>
#include <unistd.h>

bool AskTermSize(TermSize *size) {
    struct winsize ws;
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) != 0) return false;
    size->cols = ws.ws_col;
    size->rows = ws.ws_row;
    return true;
}

bool TermShowsReverse() {
    return isatty(STDOUT_FILENO) != 0;
}
