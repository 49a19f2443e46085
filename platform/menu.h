/* menu.h - the menu round both programs run. */
#ifndef PLATFORM_MENU_H
#define PLATFORM_MENU_H

#include <cstddef>

/* One menu round: clears the screen, calls draw (when not null) to show the
 * program's structure, prints the n menu lines (each as a line) and the
 * prompt, and reads the choice. A choice that is not a number is dropped with
 * the rest of its line and gives -1, which no menu offers, so the menu is
 * drawn again. lines and prompt must stay as they are for the whole run:
 * their output form is built on the first round and written at once on
 * every later one. */
int MenuChoice(const char *const *lines, size_t n, const char *prompt, void (*draw)() = nullptr);

/* For learners (--learn): from now on MenuPause says how many presses of
 * the Enter key it waits for, and a choice outside 0 to highest is named on
 * a line above the next menu (after the screen is cleared, so that it is
 * seen). */
void MenuLearn(int highest);

/* The rows the line about a bad choice takes above this round's menu: 0 or
 * 1. A draw callback leaves them free. */
int MenuNoticeRows();

/* The pause after an option: reads and drops n characters (Pause). For
 * learners a line first says how many presses of the Enter key that takes,
 * counting those already typed; none when it takes none. */
void MenuPause(int n);

#endif
