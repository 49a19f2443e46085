/* label.cpp - see label.h. */
#include "label.h"

#include <climits>
#include <cstdio>

int ChildPosition(int pos, int side) {
    if (pos == NO_POSITION || pos > (INT_MAX - side) / 2) return NO_POSITION;
    return 2 * pos + side;
}

int ElementText(char *out, TElemType data) {
    unsigned char c = (unsigned char)data;
    if (c > 0x20 && c < 0x7F) return snprintf(out, 5, "%c", c);
    return snprintf(out, 5, "\\x%02X", c);
}

int PlainLabel(char *out, TElemType data, int pos) {
    int n = ElementText(out, data);
    if (pos == NO_POSITION) return n + snprintf(out + n, 8, "(?)");
    return n + snprintf(out + n, 16, "(%d)", pos);
}
