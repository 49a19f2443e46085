/* termsize.cpp - see termsize.h. */
#include "termsize.h"

#include "console_system.h"

TermSize GetTermSize() {
    TermSize size;
    if (!AskTermSize(&size) || size.cols <= 0 || size.rows <= 0)
        size = {TERM_DEFAULT_COLS, TERM_DEFAULT_ROWS};
    return size;
}

int TerminalRows() {
    TermSize size;
    return AskTermSize(&size) && size.rows > 0 ? size.rows : 0;
}

bool ScreenShowsAttributes() {
    return TermShowsReverse();
}
