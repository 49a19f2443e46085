/* menu.h - the parts of a menu round that both programs share: the screen
 * cleared for the menu, the room a picture may take above it, the menu
 * printed, the choice read, and the pause after an option. */
#ifndef PLATFORM_MENU_H
#define PLATFORM_MENU_H

#include <cstddef>

#include "termsize.h"

/* Clears the screen for a menu. */
void ClearForMenu();

/* Whether a picture fits above the menu of these n lines and this prompt,
 * and its room there in *room: the screen's width, and the rows that the
 * menu, its prompt and the learner's line leave (each as many rows as it
 * wraps into on a narrow screen), so that the picture's first line and the
 * prompt are seen together. It fits in 5 rows or more (a title and a few
 * lines); where the menu leaves fewer (a narrow screen, on which the menu
 * wraps into a screenful), the programs draw the picture under every
 * option's outcome instead. */
bool RoomAboveMenu(const char *const *lines, size_t n, const char *prompt, TermSize *room);

/* Prints the n menu lines, each as a line (fixed texts: output.h,
 * PrintFixedLine), and then the prompt. After a choice that ReadChoice
 * noted for a learner, a line between the menu and the prompt says what
 * was wrong with it: right above the prompt it is seen at any screen size,
 * even where the menu wraps into a screenful. */
void PrintMenu(const char *const *lines, size_t n, const char *prompt);

/* Reads the choice. One that is not a number is dropped with the rest of
 * its line and gives -1, which no menu offers, so the menu is drawn again.
 * With learn, a choice outside 0 to highest is noted for PrintMenu. */
int ReadChoice(int highest, bool learn);

/* The room of a picture drawn under an option's outcome (--draw, after an
 * option that changed the structure), so that the outcome and the pause's
 * line stay on the screen with it: the screen's width, and its rows less
 * those of an outcome and the pause. Ends the outcome's line first when it
 * is left open. */
TermSize RoomUnderOutcome();

/* The pause after an option: reads and drops n characters (Pause). With
 * learn a line first says how many presses of the Enter key that takes,
 * counting those already typed; none when it takes none. */
void MenuPause(int n, bool learn);

#endif
