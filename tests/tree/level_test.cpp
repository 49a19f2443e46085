// Level order on shapes that defeat a fixed slot array: deep, sparse, and
// wide at the bottom.
#include <gtest/gtest.h>

#include "Bitree.h"
#include "test_support.h"

namespace {

std::string Levels(BiTree T) {
    return Output([&] { LevelOrderTraverse(T); });
}

TEST(LevelOrder, SmallShapes) {
    EXPECT_EQ(Levels(nullptr), "");
    BiTree T = nullptr;
    InitBiTree(T);
    EXPECT_EQ(Levels(T), "# ");
    DestroyBiTree(T);
    T = Build(BUILTIN_DESCRIPTION);
    EXPECT_EQ(Levels(T), "A B C D E F G H I J K ");
    DestroyBiTree(T);
    T = Build("X#Y#Z##");
    EXPECT_EQ(Levels(T), "X Y Z ");
    DestroyBiTree(T);
}

TEST(LevelOrder, DeepSparseTreePrintsEveryNode) {
    // Two chains from the root, 5000 levels each: far beyond 2^depth slots.
    BiTree T = Build("A##");
    T->lchild = Chain(5000, true, 'l');
    T->rchild = Chain(5000, false, 'r');
    std::string want = "A ";
    for (int i = 0; i < 5000; i++)
        want += "l r ";
    EXPECT_EQ(Levels(T), want);
    DestroyBiTree(T);
}

TEST(LevelOrder, EighthLevelAndBeyond) {
    // A full tree of 9 levels (511 nodes), labelled by level.
    BiTree T = Build("a##");
    std::vector<BiTree> level = {T};
    std::string want = "a ";
    for (int k = 1; k < 9; k++) {
        std::vector<BiTree> next;
        for (BiTree n : level) {
            n->lchild = Chain(1, true, (char)('a' + k));
            n->rchild = Chain(1, true, (char)('a' + k));
            next.push_back(n->lchild);
            next.push_back(n->rchild);
        }
        for (size_t i = 0; i < next.size(); i++)
            want += std::string(1, (char)('a' + k)) + " ";
        level = next;
    }
    EXPECT_EQ(Levels(T), want);
    DestroyBiTree(T);
}

} // namespace
