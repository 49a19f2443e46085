/* tree_draw_parts.h - what the two halves of the --draw picture share:
 * tree_draw.cpp (the sideways and by-levels forms, and the choice among
 * them) and tree_topdown.cpp (the top-down form). */
#ifndef TREE_TREE_DRAW_PARTS_H
#define TREE_TREE_DRAW_PARTS_H

#include "label.h"
#include "tree_draw.h"

#define MAX_LINES 256 /* height is taken up to this */
#define MAX_WIDTH 255 /* width is taken up to this */

/* The reverse video on and off of a terminal. */
#define REVERSE_ON "\x1b[7m"
#define REVERSE_OFF "\x1b[0m"

/* The position of the left (side 0) or right (side 1) child of pos. */
int ChildPosition(int pos, int side);

/* Writes data(position) at out, with data outside printable ASCII as \xHH;
 * returns its length (at most 17). */
int PlainLabel(char *out, TElemType data, int pos);

/* Prints the top-down picture of T, mark marked as style says, when it fits
 * width columns and height lines: two rows per level where they fit, else
 * one. Returns false, printing nothing, when it does not fit. */
bool DrawTopDown(BiTree T, int width, int height, BiTree mark, DrawMark style);

#endif
