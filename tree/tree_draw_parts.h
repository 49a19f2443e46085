/* tree_draw_parts.h - what the two halves of the --draw picture share:
 * tree_draw.cpp (the sideways and by-levels forms, and the choice among
 * them) and tree_topdown.cpp (the top-down form). */
#ifndef TREE_TREE_DRAW_PARTS_H
#define TREE_TREE_DRAW_PARTS_H

#include "label.h"
#include "lang.h"
#include "textwidth.h"
#include "tree_draw.h"

#define MAX_LINES 256 /* height is taken up to this */
#define MAX_WIDTH 255 /* width is taken up to this */

/* Prints a picture's title on one line of fewer than width columns, in the
 * session's language: full when it fits, else brief. */
inline void PrintTitle(const char *full, const char *brief, int width) {
    PrintFitted(TextWidth(Tr(full)) < width ? full : brief, width, 1);
}

/* Prints the top-down picture of T, whose root stands at position pos,
 * each node marked by its states (none when states is null), when it fits
 * width columns and height lines: two rows per level where they fit, else
 * one. Without print, or when it does not fit, prints nothing. The header
 * line counts in height and is printed when titled. Returns the levels
 * drawn, 0 when it does not fit. */
int DrawTopDown(BiTree T, int pos, int width, int height, const NodeStates *states, bool titled,
                bool print);

#endif
