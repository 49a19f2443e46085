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

void StateMarks(unsigned state, DrawMark style, const char **open, const char **close) {
    if (style == MARK_BRACKETS) {
        /* The first state that applies, in this order. */
        static const struct {
            unsigned state;
            const char *open, *close;
        } kBrackets[] = {{NODE_CURRENT, "[", "]"},
                         {NODE_P, "<", ">"},
                         {NODE_STACKED, "{", "}"},
                         {NODE_PRINTED, "*", "*"}};
        *open = *close = " ";
        for (const auto &b : kBrackets) {
            if (state & b.state) {
                *open = b.open;
                *close = b.close;
                return;
            }
        }
        return;
    }
    /* Every combination of reverse (7), underline (4), bold (1) and green
     * (32), indexed by the state's bits. */
    static const char *const kAttributes[16] = {
        "",           "\x1b[7m",      "\x1b[1m",      "\x1b[7;1m",     "\x1b[32m",  "\x1b[7;32m",
        "\x1b[1;32m", "\x1b[7;1;32m", "\x1b[4m",      "\x1b[7;4m",     "\x1b[1;4m", "\x1b[7;1;4m",
        "\x1b[4;32m", "\x1b[7;4;32m", "\x1b[1;4;32m", "\x1b[7;1;4;32m"};
    *open = kAttributes[state & 15];
    *close = state & 15 ? "\x1b[0m" : "";
}

int MarkedLabel(char *out, TElemType data, int pos, unsigned state, DrawMark style) {
    if (!state) return PlainLabel(out, data, pos);
    const char *open, *close;
    StateMarks(state, style, &open, &close);
    int n = snprintf(out, 16, "%s", open);
    n += PlainLabel(out + n, data, pos);
    return n + snprintf(out + n, 8, "%s", close);
}

long ChildrenOf(const BiTree *node, const int *pos, long n, BiTree *kid, int *kid_pos) {
    long k = 0;
    for (long i = 0; i < n; i++) {
        BiTree kids[2] = {node[i]->lchild, node[i]->rchild};
        for (int side = 0; side < 2; side++) {
            if (!kids[side]) continue;
            kid[k] = kids[side];
            kid_pos[k++] = ChildPosition(pos[i], side);
        }
    }
    return k;
}
