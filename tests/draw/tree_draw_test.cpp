// The --draw picture of a tree: exact pictures of small shapes, and bounded
// lines, width and work on trees far too big for the screen.
#include <cstring>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "Bitree.h"
#include "capture.h"
#include "output.h"
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
    ConsoleInit(ENCODING_UTF8);
    return Capture([&] { DrawBiTree(T, width, height); }).out;
}

std::vector<std::string> Lines(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

const char kTopDown[] = "树T，自上而下（结点写作 数据(位置)）：\n";

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
    EXPECT_EQ(Draw(nullptr), "树T：不存在（选项1和3建立它）\n");
    BiTree T;
    InitBiTree(T);
    EXPECT_EQ(Draw(T), "树T：空树（根结点为#）\n");
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
        {Chain(30, LEFT), 80, 24, 24, "L v(2097152) ...", "...还有8层未画出"},
        {Chain(30, LEFT), 120, 43, 31, "`L d(536870912)", nullptr}, // whole at 120 x 60
        {Full(6), 80, 24, 17, "`-R z(15) ...", "...还有2层未画出"}, // 15 nodes fit
        // Exact fits: top-down, a row per level under the header; one level
        // more, and the levels shown on every line but the footer's.
        {Chain(6, RIGHT), 80, 7, 7, "f(63)", nullptr},
        {Chain(7, RIGHT), 80, 7, 7, "`-R e(31) ...", "...还有2层未画出"},
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
        {Full(6), "树T，按层（结点写作 数据(位置)）：\n"
                  "x(1)\n"
                  "y(2) z(3)\n"
                  "y(4) z(5) y(6) z(7)\n"
                  "y(8) z(9) y(10) z(11) y(12) z(13) y(14) z(15)\n"
                  "...还有2层未画出\n"},
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
        EXPECT_EQ(lines.back(), "...还有超过10000层未画出");
        for (const std::string &line : lines)
            EXPECT_LT(line.size(), (size_t)DRAW_WIDTH) << line;
        DestroyBiTree(T);
    }
}

// Nodes on each level of T (level 1 first).
std::vector<int> LevelSizes(BiTree T) {
    std::vector<int> sizes;
    for (std::vector<BiTree> level = {T}; !level.empty();) {
        sizes.push_back((int)level.size());
        std::vector<BiTree> next;
        for (BiTree n : level)
            for (BiTree c : {n->lchild, n->rchild})
                if (c) next.push_back(c);
        level = next;
    }
    return sizes;
}

// At 20, 40 and 80 columns, whatever form the picture takes: no line as wide
// as the screen, no more lines than it has, and every level either drawn
// whole or counted by the last line.
TEST(DrawBiTree, FitsEveryWidthFrom20) {
    const std::regex label("\\((\\d+)\\)");
    for (const char *tree : {BUILTIN_DESCRIPTION, "abcdefghij###########", "a#b#c#d#e#f#g##"}) {
        for (int width : {20, 40, 80})
            for (int height : {5, 7, 12, 24}) {
                SCOPED_TRACE(std::string(tree) + " " + std::to_string(width) + "x" +
                             std::to_string(height));
                BiTree T = Build(tree);
                std::vector<int> sizes = LevelSizes(T);
                std::vector<std::string> lines = Lines(Draw(T, width, height));
                DestroyBiTree(T);
                EXPECT_LE(lines.size(), (size_t)height);
                std::vector<int> seen(sizes.size() + 1);
                for (const std::string &line : lines) {
                    EXPECT_LT(Columns(line), width) << line;
                    for (std::sregex_iterator it(line.begin(), line.end(), label), end; it != end;
                         ++it) {
                        int level = 0;
                        for (long pos = std::stol((*it)[1]); pos > 0; pos /= 2)
                            level++;
                        seen[level - 1]++;
                    }
                }
                size_t whole = 0;
                while (whole < sizes.size() && seen[whole] == sizes[whole])
                    whole++;
                if (whole == sizes.size()) continue;
                std::string counted = std::to_string(sizes.size() - whole);
                EXPECT_NE(lines.back().find(counted), std::string::npos) << lines.back();
            }
    }
}

// The built-in tree at 40 columns (too narrow for top-down): sideways where
// all of it fits (12 lines), by levels one line short of that, where
// sideways would leave two levels out.
TEST(DrawBiTree, SidewaysOrByLevelsAtTheExactHeight) {
    struct Case {
        int height;
        const char *title;
        size_t lines;
    } cases[] = {
        {12, "树T，横放", 12},
        {11, "树T，按层", 6},
        {13, "树T，横放", 12},
        {6, "树T，按层", 6},
    };
    for (const Case &c : cases) {
        BiTree T = Build(BUILTIN_DESCRIPTION);
        std::vector<std::string> lines = Lines(Draw(T, 40, c.height));
        DestroyBiTree(T);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0].rfind(c.title, 0), 0u) << c.height << " " << lines[0];
        EXPECT_EQ(lines.size(), c.lines) << c.height;
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
