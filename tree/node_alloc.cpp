/* node_alloc.cpp - nodes from the runtime heap. */
#include "node_alloc.h"

#include <cstdlib>

BiTree NewNode() {
    return (BiTree)malloc(sizeof(BiTNode));
}

void FreeNode(BiTree n) {
    free(n);
}
