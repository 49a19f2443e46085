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

#endif
