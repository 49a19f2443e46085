/* label.h - how the views of tree_menu (--draw, --trace, --step) show a
 * node: its data, and its position as options 8 to 14 take it. */
#ifndef TREE_LABEL_H
#define TREE_LABEL_H

#include "stack.h"

/* A position beyond int: shown as "?". */
#define NO_POSITION (-1)

/* The position of the left (side 0) or right (side 1) child of pos;
 * NO_POSITION beyond int or under NO_POSITION. */
int ChildPosition(int pos, int side);

/* Writes data at out as it is, or as \xHH outside printable ASCII (a blank
 * too, so that it is seen); returns its length (at most 4). */
int ElementText(char *out, TElemType data);

/* Writes data(position) at out, the data as ElementText writes it; returns
 * its length (at most 17). */
int PlainLabel(char *out, TElemType data, int pos);

#endif
