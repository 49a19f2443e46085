// The --draw picture of a tree: exact pictures of small shapes, and bounded
// lines, width and time on trees far too big for the screen.
#include <chrono>
#include <cstring>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "Bitree.h"
#include "capture.h"
#include "tree_draw.h"

namespace {

BiTree Build(const char *description) {
    memset(bitree::str, 0, sizeof bitree::str);
    strncpy(bitree::str, description, sizeof bitree::str - 1);
    bitree::index = 0;
    BiTree T = nullptr;
    CreateBiTree(T);
    return T;
}

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

struct Picture {
    const char *description;
    const char *picture; // after the header
};

const Picture kPictures[] = {
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
    {"abc####", "a(1)\n"
                "`-L b(2)\n"
                "    `-L c(4)\n"},
    {"a#b#c##", "a(1)\n"
                "`-R b(3)\n"
                "    `-R c(7)\n"},
    {"a#bc#d###", "a(1)\n"
                  "`-R b(3)\n"
                  "    `-L c(6)\n"
                  "        `-R d(13)\n"},
    {"A##", "A(1)\n"},
};

TEST(DrawBiTree, SmallShapesExactly) {
    for (const Picture &p : kPictures) {
        BiTree T = Build(p.description);
        EXPECT_EQ(Draw(T), std::string(kHeader) + p.picture) << p.description;
        DestroyBiTree(T);
    }
}

TEST(DrawBiTree, NoTreeAndEmptyTree) {
    EXPECT_EQ(Draw(nullptr), "Tree T: none (options 1 and 3 make one)\n");
    BiTree T;
    InitBiTree(T);
    EXPECT_EQ(Draw(T), "Tree T: empty (its root holds #)\n");
    DestroyBiTree(T);
    T = Build("xB###"); // a root assigned '#' keeps its subtrees: drawn
    T->data = '#';
    EXPECT_EQ(Draw(T), std::string(kHeader) + "#(1)\n`-L B(2)\n");
    DestroyBiTree(T);
}

TEST(DrawBiTree, DataOutsidePrintableAsciiIsEscaped) {
    BiTree T = Build("a#b##");
    T->rchild->data = '\n';
    T->data = (char)0xB6;
    EXPECT_EQ(Draw(T), std::string(kHeader) + "\\xB6(1)\n`-R \\x0A(3)\n");
    DestroyBiTree(T);
}

// Whole levels that fit are drawn; nodes cut below are marked; the last
// line says how many levels are left out.
TEST(DrawBiTree, CutsToWholeLevelsAndCountsTheRest) {
    struct Case {
        Shape shape;
        long n;
        size_t lines; // header + nodes + footer
        const char *last_node, *footer;
    } cases[] = {
        {LEFT, 16, 17, "`-L p(32768)", nullptr},
        {LEFT, 30, 18, "`-L p(32768) ...", "... 14 more levels not shown"},
        {RIGHT, 17, 18, "`-R p(65535) ...", "... 1 more level not shown"},
    };
    for (const Case &c : cases) {
        BiTree T = Chain(c.n, c.shape);
        std::vector<std::string> lines = Lines(Draw(T));
        ASSERT_EQ(lines.size(), c.lines) << c.n;
        const std::string &node = c.footer ? lines[lines.size() - 2] : lines.back();
        EXPECT_EQ(node.substr(node.size() - strlen(c.last_node)), c.last_node) << c.n;
        if (c.footer) {
            EXPECT_EQ(lines.back(), c.footer);
        }
        DestroyBiTree(T);
    }
}

// A full tree of 6 levels (63 nodes): 4 levels (15 nodes) fit in 24 lines;
// the 8 nodes of level 4 are marked as cut.
TEST(DrawBiTree, WideTreeShowsTheLevelsThatFit) {
    BiTree T = Build("x##");
    std::vector<BiTree> level = {T};
    for (int depth = 2; depth <= 6; depth++) {
        std::vector<BiTree> next;
        for (BiTree n : level) {
            n->lchild = Build("y##");
            n->rchild = Build("z##");
            next.push_back(n->lchild);
            next.push_back(n->rchild);
        }
        level = next;
    }
    std::vector<std::string> lines = Lines(Draw(T));
    ASSERT_EQ(lines.size(), 17u);
    int cut = 0;
    for (const std::string &line : lines)
        cut += line.size() > 4 && line.compare(line.size() - 4, 4, " ...") == 0;
    EXPECT_EQ(cut, 8);
    EXPECT_EQ(lines[5], "|   |   `-R z(9) ...");
    EXPECT_EQ(lines.back(), "... 2 more levels not shown");
    DestroyBiTree(T);
}

// A 10^6-level chain draws in bounded lines and width, as fast as a small
// tree: the cost does not grow with the tree.
TEST(DrawBiTree, MillionLevelsBoundedAndFast) {
    for (Shape shape : {LEFT, RIGHT, ZIGZAG}) {
        BiTree T = Chain(1000000, shape);
        auto start = std::chrono::steady_clock::now();
        std::string out = Draw(T);
        double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        EXPECT_LT(ms, 250.0);
        std::vector<std::string> lines = Lines(out);
        EXPECT_LE(lines.size(), (size_t)DRAW_HEIGHT);
        EXPECT_EQ(lines.back(), "... more than 100000 more levels not shown");
        for (const std::string &line : lines)
            EXPECT_LT(line.size(), (size_t)DRAW_WIDTH) << line;
        DestroyBiTree(T);
    }
}

// On a wider and taller screen deep positions pass INT_MAX: they show as ?.
TEST(DrawBiTree, PositionsBeyondIntAreNotNumbers) {
    struct Case {
        Shape shape;
        const char *level31, *level32;
    } cases[] = {
        {LEFT, "(1073741824)", "(?)"},
        {RIGHT, "(2147483647)", "(?)"},
    };
    for (const Case &c : cases) {
        BiTree T = Chain(40, c.shape);
        std::vector<std::string> lines = Lines(Draw(T, 255, 64));
        ASSERT_EQ(lines.size(), 41u); // header and 40 nodes, nothing cut
        EXPECT_NE(lines[31].find(c.level31), std::string::npos) << lines[31];
        EXPECT_NE(lines[32].find(c.level32), std::string::npos) << lines[32];
        DestroyBiTree(T);
    }
}

} // namespace
