/* tree_draw.h - the picture of a tree that tree_menu --draw shows above each
 * menu. */
#ifndef TREE_TREE_DRAW_H
#define TREE_TREE_DRAW_H

#include "label.h"

/* The screen the picture fits by default: lines of at most 79 characters
 * (the 80th column would wrap on some consoles), 24 lines in all. */
#define DRAW_WIDTH 80
#define DRAW_HEIGHT 24
/* The narrowest width a picture is drawn in. */
#define DRAW_MIN_WIDTH 20

/* Prints T on stdout in ASCII, every node as data(position) with its
 * position as options 8 to 14 take it ("?" for a position beyond int).
 * Without a tree, or for the empty tree, one line says so.
 *
 * Where the labels, in inorder a blank apart, fit a line of fewer than width
 * columns and the levels fit height lines with the header, the tree is drawn
 * top-down: a row per level, each node joined to its children by a run of
 * '-' that ends in '.' over the child's label; or, where the lines allow,
 * two rows per level, a run of '_' and '/' or '\' over the child.
 *
 * Otherwise sideways, one node per line, each child indented under its
 * parent and marked L or R for its side, in at most height lines of at most
 * width - 1 characters: it shows as many whole levels from the root as fit,
 * marks the nodes whose children are cut off with "...", and ends with a
 * line that says how many levels are left out (a tree shown whole has no
 * such line). Each level indents 4 columns, or 3 or 2 when that shows more
 * levels. When levels are left out all the same, and a line per level (its
 * nodes left to right, a blank apart) shows more of them, the picture takes
 * that form instead.
 *
 * The work is bounded by what fits plus a fixed budget for counting the
 * levels left out (beyond it, "more than N" is said), never by the size of
 * the tree; nothing recurses. width is taken in DRAW_MIN_WIDTH to 255,
 * height in 3 to 256. Nothing is allocated. When states is not null, each node is marked
 * by its states; in brackets, every label of a top-down picture then gets a
 * column on either side, so that the marks move nothing from one step to the
 * next. */
void DrawBiTree(BiTree T, int width = DRAW_WIDTH, int height = DRAW_HEIGHT,
                const NodeStates *states = nullptr);

/* A part of a tree: DrawBiTree for the subtree R whose root stands at
 * position pos (NO_POSITION beyond int), without the header line. */
void DrawSubtree(BiTree R, int pos, int width, int height, const NodeStates *states);

/* How many levels from R's root DrawSubtree shows at this size. */
int SubtreeLevelsShown(BiTree R, int pos, int width, int height, const NodeStates *states);

/* How many tree nodes at most are looked at to count the levels left out. */
#define DRAW_COUNT_BUDGET 10000

#endif
