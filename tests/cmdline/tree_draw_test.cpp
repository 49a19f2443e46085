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

const char kHeader[] = "Tree T (each node as data(position); L, R: left, right child):\n";

TEST(DrawBiTree, SmallShapesExactly) {
    struct Case {
        const char *description, *picture; // picture after the header
    } cases[] = {
        {BUILTIN_DESCRIPTION, "A(1)\n"
                              "+-L B(2)\n"
                              "|   +-L D(4)\n"
                              "|   |   `-L H(8)\n"
                              "|   |       `-R K(17)\n"
                              "|   `-R E(5)\n"
                              "`-R C(3)\n"
                              "    +-L F(6)\n"
                              "    |   `-L I(12)\n"
                              "    `-R G(7)\n"
                              "        `-R J(15)\n"},
        {"abc####", "a(1)\n`-L b(2)\n    `-L c(4)\n"},
        {"a#b#c##", "a(1)\n`-R b(3)\n    `-R c(7)\n"},
        {"a#bc#d###", "a(1)\n`-R b(3)\n    `-L c(6)\n        `-R d(13)\n"},
    };
    for (const auto &c : cases) {
        BiTree T = Build(c.description);
        EXPECT_EQ(Draw(T), std::string(kHeader) + c.picture) << c.description;
        DestroyBiTree(T);
    }
}

TEST(DrawBiTree, NoTreeEmptyTreeAndOddData) {
    EXPECT_EQ(Draw(nullptr), "Tree T: none (options 1 and 3 make one)\n");
    BiTree T;
    InitBiTree(T);
    EXPECT_EQ(Draw(T), "Tree T: empty (its root holds #)\n");
    DestroyBiTree(T);
    T = Build("xB###"); // a root assigned '#' keeps its subtrees: drawn
    T->data = '#';
    T->lchild->data = '\n'; // bytes outside printable ASCII keep the layout
    EXPECT_EQ(Draw(T), std::string(kHeader) + "#(1)\n`-L \\x0A(2)\n");
    DestroyBiTree(T);
}

// Whole levels that fit are drawn, nodes with children cut off end in
// " ...", and the last line says how many levels are left out.
TEST(DrawBiTree, CutsToWholeLevelsAndCountsTheRest) {
    struct Case {
        BiTree T;
        size_t lines; // header + nodes (+ footer)
        const char *last_node, *footer;
    } cases[] = {
        {Chain(16, LEFT), 17, "`-L p(32768)", nullptr}, // 16 levels fit 80 columns
        {Chain(30, LEFT), 18, "`-L p(32768) ...", "... 14 more levels not shown"},
        {Chain(17, RIGHT), 18, "`-R p(65535) ...", "... 1 more level not shown"},
        {Full(6), 17, "`-R z(15) ...", "... 2 more levels not shown"}, // 15 nodes fit
    };
    for (Case &c : cases) {
        std::vector<std::string> lines = Lines(Draw(c.T));
        ASSERT_EQ(lines.size(), c.lines);
        const std::string &node = lines[c.footer ? lines.size() - 2 : lines.size() - 1];
        EXPECT_EQ(node.substr(node.size() - strlen(c.last_node)), c.last_node);
        EXPECT_EQ(c.footer ? lines.back() : "", c.footer ? c.footer : "");
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

} // namespace
