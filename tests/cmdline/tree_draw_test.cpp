// The --draw picture of a tree: exact pictures of small shapes, and bounded
// lines, width and work on trees far too big for the screen.
#include <cstring>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "Bitree.h"
#include "capture.h"
#include "tree/test_support.h"
#include "tree_draw.h"

namespace {

// n nodes, each the left (or right, or alternately) child of the one before.
enum Shape { LEFT, RIGHT, ZIGZAG };
BiTree Chain(long n, Shape shape) {
    BiTree root = nullptr, *link = &root;
    for (long i = 0; i < n; i++) {
        BiTree node = Build("x##");
        node->data = (char)('a' + i % 26);
        *link = node;
        bool left = shape == LEFT || (shape == ZIGZAG && i % 2 == 0);
        link = left ? &node->lchild : &node->rchild;
    }
    return root;
}

// A full tree of the given number of levels, data x, y (left), z (right).
BiTree Full(int levels) {
    BiTree T = Build("x##");
    std::vector<BiTree> level = {T};
    for (int depth = 2; depth <= levels; depth++) {
        std::vector<BiTree> next;
        for (BiTree n : level) {
            next.push_back(n->lchild = Build("y##"));
            next.push_back(n->rchild = Build("z##"));
        }
        level = next;
    }
    return T;
}

std::string Draw(BiTree T, int width = DRAW_WIDTH, int height = DRAW_HEIGHT) {
    return Capture([&] { DrawBiTree(T, width, height); }).out;
}

std::vector<std::string> Lines(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

const char kTopDown[] = "Tree T top-down (each node as data(position)):\n";

// Where the labels fit the width, the tree is drawn top-down, two rows a
// level where they fit the height, else one.
TEST(DrawBiTree, SmallShapesTopDown) {
    struct Case {
        const char *description;
        int height;
        const char *picture; // after the header
    } cases[] = {
        {BUILTIN_DESCRIPTION, 24,
         "                   _______A(1)______________\n"
         "                  /                         \\\n"
         "              __B(2)___                 __C(3)___\n"
         "             /         \\               /         \\\n"
         "   ________D(4)      E(5)         ___F(6)      G(7)___\n"
         "  /                              /                    \\\n"
         "H(8)___                        I(12)                J(15)\n"
         "       \\\n"
         "     K(17)\n"},
        {"abc####", 5, "       .--a(1)\n  .--b(2)\nc(4)\n"}, // 2 x 3 rows would not fit
        {"a#b##", 4, "a(1)___\n       \\\n     b(3)\n"},     // 1 + 2 x 2 - 1 rows fit exactly
    };
    for (const auto &c : cases) {
        BiTree T = Build(c.description);
        EXPECT_EQ(Draw(T, 80, c.height), std::string(kTopDown) + c.picture) << c.description;
        DestroyBiTree(T);
    }
}

TEST(DrawBiTree, NoTreeEmptyTreeAndOddData) {
    EXPECT_EQ(Draw(nullptr), "Tree T: none (options 1 and 3 make one)\n");
    BiTree T;
    InitBiTree(T);
    EXPECT_EQ(Draw(T), "Tree T: empty (its root holds #)\n");
    DestroyBiTree(T);
    T = Build("xB##C##"); // a root assigned '#' keeps its subtrees: drawn
    T->data = '#';
    T->lchild->data = '\n'; // bytes outside printable ASCII keep the layout,
    T->rchild->data = ' ';  // and a blank is seen
    EXPECT_EQ(Draw(T), std::string(kTopDown) + "    ____#(1)____\n"
                                               "   /            \\\n"
                                               "\\x0A(2)      \\x20(3)\n");
    DestroyBiTree(T);
}

// Whole levels that fit are drawn, nodes with children cut off end in
// " ...", and the last line says how many levels are left out. A deep tree
// takes a narrower indent when that shows more levels. 80 x 7 is what an
// 80 x 24 screen leaves above tree_menu's 17-row menu, 120 x 43 what a
// 120 x 60 one leaves.
TEST(DrawBiTree, CutsToWholeLevelsAndCountsTheRest) {
    struct Case {
        BiTree T;
        int width, height;
        size_t lines; // header + nodes (+ footer)
        const char *last_node, *footer;
    } cases[] = {
        {Chain(16, LEFT), 80, 24, 17, "`-L p(32768)", nullptr},  // 16 levels fit 80 columns
        {Chain(17, RIGHT), 80, 24, 18, "`R q(131071)", nullptr}, // 17 fit with 3 a level
        {Chain(30, LEFT), 80, 24, 24, "L v(2097152) ...", "... 8 more levels not shown"},
        {Chain(30, LEFT), 120, 43, 31, "`L d(536870912)", nullptr},            // whole at 120 x 60
        {Full(6), 80, 24, 17, "`-R z(15) ...", "... 2 more levels not shown"}, // 15 nodes fit
        // Exact fits: top-down, a row per level under the header; one level
        // more, and the levels shown on every line but the footer's.
        {Chain(6, RIGHT), 80, 7, 7, "f(63)", nullptr},
        {Chain(7, RIGHT), 80, 7, 7, "`-R e(31) ...", "... 2 more levels not shown"},
    };
    for (Case &c : cases) {
        std::vector<std::string> lines = Lines(Draw(c.T, c.width, c.height));
        EXPECT_EQ(lines.size(), c.lines) << c.last_node;
        size_t last = lines.size() - (c.footer ? 2 : 1);
        std::string node = last < lines.size() ? lines[last] : "";
        size_t tail = strlen(c.last_node);
        EXPECT_EQ(node.substr(node.size() > tail ? node.size() - tail : 0), c.last_node);
        EXPECT_EQ(c.footer ? lines.back() : "", c.footer ? c.footer : "");
        DestroyBiTree(c.T);
    }
}

// Where the picture above leaves levels out, a line per level shows more.
TEST(DrawBiTree, SmallScreenByLevels) {
    struct Case {
        BiTree T;
        const char *picture;
    } cases[] = {
        // Level 5's 16 nodes would take 95 columns.
        {Full(6), "Tree T by levels (each node as data(position)):\n"
                  "x(1)\n"
                  "y(2) z(3)\n"
                  "y(4) z(5) y(6) z(7)\n"
                  "y(8) z(9) y(10) z(11) y(12) z(13) y(14) z(15)\n"
                  "... 2 more levels not shown\n"},
    };
    for (Case &c : cases) {
        EXPECT_EQ(Draw(c.T, 80, 7), c.picture);
        DestroyBiTree(c.T);
    }
}

// The work is bounded by the screen and the counting budget, not by the
// depth: a chain whose last node is its own child has no bottom, and still
// draws in 80 x 24, having counted exactly the budget of levels below it.
TEST(DrawBiTree, BottomlessChainStopsAtTheBudget) {
    for (Shape shape : {LEFT, RIGHT, ZIGZAG}) {
        BiTree T = Chain(100, shape), last = T;
        while (last->lchild || last->rchild)
            last = last->lchild ? last->lchild : last->rchild;
        last->lchild = last;
        std::vector<std::string> lines = Lines(Draw(T));
        last->lchild = nullptr;
        EXPECT_LE(lines.size(), (size_t)DRAW_HEIGHT);
        EXPECT_EQ(lines.back(), "... more than 10000 more levels not shown");
        for (const std::string &line : lines)
            EXPECT_LT(line.size(), (size_t)DRAW_WIDTH) << line;
        DestroyBiTree(T);
    }
}

// On a wider and taller screen deep positions pass INT_MAX: they show as ?.
TEST(DrawBiTree, PositionsBeyondIntAreNotNumbers) {
    for (Shape shape : {LEFT, RIGHT}) {
        BiTree T = Chain(40, shape);
        std::vector<std::string> lines = Lines(Draw(T, 255, 64));
        ASSERT_EQ(lines.size(), 41u); // header and 40 nodes, nothing cut
        const char *level31 = shape == LEFT ? "(1073741824)" : "(2147483647)";
        EXPECT_NE(lines[31].find(level31), std::string::npos) << lines[31];
        EXPECT_NE(lines[32].find("(?)"), std::string::npos) << lines[32];
        DestroyBiTree(T);
    }
}

// The node states of a step of a walk: in brackets the first that applies
// (this step, p, on the stack, printed), as escapes all of them; in
// brackets every label keeps a column on either side, so that the marks
// move nothing from one step to the next.
struct StateCase {
    const char *name;
    unsigned a, b, d, e; // the states of A, B, D and E
    DrawMark style;
    const char *row1, *row3; // the picture's rows of A and of D and E
};

unsigned StateOf(BiTree node, const void *ctx) {
    const StateCase &c = *(const StateCase *)ctx;
    switch (node->data) {
    case 'A':
        return c.a;
    case 'B':
        return c.b;
    case 'D':
        return c.d;
    case 'E':
        return c.e;
    default:
        return 0;
    }
}

TEST(DrawBiTree, NodeStatesMarked) {
    const StateCase cases[] = {
        {"each state in brackets", NODE_PRINTED, NODE_STACKED, NODE_CURRENT, NODE_P, MARK_BRACKETS,
         "                       ________*A(1)*________________",
         "    _________[D(4)]      <E(5)>          ____F(6)        G(7)____"},
        {"the first that applies", NODE_STACKED | NODE_PRINTED, 0,
         NODE_CURRENT | NODE_STACKED | NODE_PRINTED, NODE_P | NODE_PRINTED, MARK_BRACKETS,
         "                       ________{A(1)}________________",
         "    _________[D(4)]      <E(5)>          ____F(6)        G(7)____"},
        {"escapes, combined", NODE_PRINTED, NODE_STACKED,
         NODE_CURRENT | NODE_STACKED | NODE_PRINTED, NODE_P, MARK_ATTRIBUTES,
         "                   _______\x1b[32mA(1)\x1b[0m______________",
         "   ________\x1b[7;1;32mD(4)\x1b[0m      \x1b[4mE(5)\x1b[0m         ___F(6)      G(7)___"},
    };
    BiTree T = Build(BUILTIN_DESCRIPTION);
    for (const StateCase &c : cases) {
        NodeStates states = {StateOf, &c, c.style};
        std::vector<std::string> lines =
            Lines(Capture([&] { DrawBiTree(T, 80, 24, &states); }).out);
        ASSERT_EQ(lines.size(), 10u) << c.name;
        EXPECT_EQ(lines[1], c.row1) << c.name;
        EXPECT_EQ(lines[5], c.row3) << c.name;
    }
    DestroyBiTree(T);
}

} // namespace
