/* stack.cpp - the growable sequential stack of node pointers. */
#include "stack.h"

#include <cinttypes>
#include <cstdint>
#include <cstdlib>

#include "console.h"
#include "output.h"

Status InitStack(SqStack &S) {
    S.base = (SElemType *)malloc(STACK_INIT_SIZE * sizeof(SElemType));
    if (!S.base) ExitOutOfMemory();
    S.top = S.base;
    S.stacksize = STACK_INIT_SIZE;
    return OK;
}

Status DestroyStack(SqStack &S) {
    free(S.base);
    S.base = S.top = nullptr;
    return OK;
}

Status ClearStack(SqStack &S) {
    S.top = S.base;
    return OK;
}

Status StackEmpty(SqStack S) {
    return S.top == S.base ? TRUE : FALSE;
}

/* Constant time: the element count is the distance from base to top. */
int StackLength(SqStack S) {
    return (int)(S.top - S.base);
}

Status GetTop(SqStack S, SElemType &e) {
    if (S.top == S.base) return ERROR;
    e = S.top[-1];
    return OK;
}

/* Slots the block really has for a capacity of stacksize: STACK_INIT_SIZE
 * doubled until it covers stacksize. The capacity grows by STACKINCREMENT,
 * as Push promises (stack.h), but the block is reallocated only when the
 * capacity passes the next doubling, so pushes stay amortised constant time
 * on a stack of millions of nodes (copying the whole block every ten pushes
 * would make a deep walk quadratic). */
static size_t BlockSlots(int stacksize) {
    size_t slots = STACK_INIT_SIZE;
    while (slots < (size_t)stacksize)
        slots *= 2;
    return slots;
}

Status Push(SqStack &S, SElemType e) {
    if (S.top - S.base >= S.stacksize) {
        /* Full: the capacity grows by exactly STACKINCREMENT. */
        size_t slots = BlockSlots(S.stacksize + STACKINCREMENT);
        if (slots > BlockSlots(S.stacksize)) {
            SElemType *grown = (SElemType *)realloc(S.base, slots * sizeof(SElemType));
            if (!grown) ExitOutOfMemory();
            S.base = grown;
        }
        S.top = S.base + S.stacksize;
        S.stacksize += STACKINCREMENT;
    }
    *S.top++ = e;
    return OK;
}

Status Pop(SqStack &S, SElemType &e) {
    if (S.top == S.base) return ERROR;
    e = *--S.top;
    return OK;
}

Status StackTraverse(SqStack S) {
    /* Addresses may be wider than int: print them in full as signed numbers. */
    for (SElemType *p = S.base; p < S.top; p++)
        Print("%" PRId64 "\t", (int64_t)(intptr_t)*p);
    return OK;
}
