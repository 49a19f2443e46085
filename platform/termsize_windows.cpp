/* termsize_windows.cpp - the console window's size on Windows: the visible
 * part of the console buffer. See termsize.h. */
#include "termsize.h"

#include <windows.h>

bool AskTermSize(TermSize *size) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info)) return false;
    size->cols = info.srWindow.Right - info.srWindow.Left + 1;
    size->rows = info.srWindow.Bottom - info.srWindow.Top + 1;
    return true;
}

/* The console is left in its mode: no escape sequences. */
bool TermShowsReverse() {
    return false;
}
