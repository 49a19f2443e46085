/* description.cpp - see description.h. */
#include "description.h"

#include <cstdio>
#include <cstring>

#include "Bitree.h"

const char *CheckDescription(const char *d, char *why, size_t size) {
    size_t len = strlen(d);
    if (len > (size_t)bitree::STR_SIZE - 1) {
        snprintf(why, size, "description too long (%lu characters, at most %d)", (unsigned long)len,
                 bitree::STR_SIZE - 1);
        return why;
    }
    for (size_t i = 0; i < len; i++) {
        unsigned char c = (unsigned char)d[i];
        if (c == ' ') {
            snprintf(why, size, "bad character (a space) at position %lu", (unsigned long)(i + 1));
            return why;
        }
        if (c < 0x21 || c > 0x7E) {
            snprintf(why, size, "bad character (byte 0x%02X) at position %lu; only printable ASCII",
                     (unsigned)c, (unsigned long)(i + 1));
            return why;
        }
    }
    /* open: subtrees still to be described. Each character fills one; a
     * node opens two. The tree is whole when none is left open. */
    size_t open = 1;
    for (size_t i = 0; i < len; i++) {
        if (open == 0) {
            snprintf(why, size, "extra characters after position %lu", (unsigned long)i);
            return why;
        }
        if (d[i] == '#')
            open--;
        else
            open++;
    }
    if (open > 0) {
        snprintf(why, size,
                 "unfinished description (%lu more subtree%s needed; '#' is an empty one)",
                 (unsigned long)open, open == 1 ? "" : "s");
        return why;
    }
    return nullptr;
}
