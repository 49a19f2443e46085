/* description.h - checking a preorder description before a tree is built
 * from it ('#' = empty subtree; "AB##C##" is A with children B and C). */
#ifndef TREE_DESCRIPTION_H
#define TREE_DESCRIPTION_H

#include <cstddef>

/* Returns null when d describes exactly one whole tree, fits bitree::str
 * (at most STR_SIZE - 1 characters) and holds only printable ASCII other
 * than space; otherwise a one-line text saying what is wrong, written into
 * why (size bytes). "#" alone is good: it describes no tree. */
const char *CheckDescription(const char *d, char *why, size_t size);

#endif
