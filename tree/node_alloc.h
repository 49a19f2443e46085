/* node_alloc.h - where tree nodes come from and go back to.
 *
 * The tree operations take and release every node through these two
 * functions, so that a test can link its own versions (to watch the order in
 * which nodes are freed, or to refuse memory). */
#ifndef TREE_NODE_ALLOC_H
#define TREE_NODE_ALLOC_H

#include "stack.h"

/* A new, uninitialised node, or null when no memory can be had. */
BiTree NewNode();
/* Gives node n back to the heap. */
void FreeNode(BiTree n);

#endif
