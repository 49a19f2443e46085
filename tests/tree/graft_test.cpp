// Grafting and cutting: where the displaced subtree goes, free order, the
// side rule (0 left, anything else right) and the refusals.
#include <gtest/gtest.h>

#include "Bitree.h"
#include "test_support.h"

namespace {

class Graft : public testing::Test {
  protected:
    void SetUp() override {
        test_alloc::Reset();
        T = Build(BUILTIN_DESCRIPTION);
    }
    void TearDown() override {
        DestroyBiTree(T);
        EXPECT_EQ(test_alloc::live, 0) << "nodes leaked";
    }
    BiTree T = nullptr;
};

TEST_F(Graft, DeleteFreesOneSideInPostorder) {
    BiTree B = T->lchild;
    EXPECT_EQ(DeleteChild(T, B, 0), OK);
    EXPECT_EQ(test_alloc::freed, "KHD");
    EXPECT_EQ(Describe(T), "AB#E##CFI###G#J##");
    EXPECT_EQ(DeleteChild(T, B, 0), OK) << "an empty side is fine";
    EXPECT_EQ(test_alloc::freed, "KHD");
    EXPECT_EQ(DeleteChild(T, B, 7), OK) << "every non-zero side is the right";
    EXPECT_EQ(test_alloc::freed, "KHDE");
    EXPECT_EQ(DeleteChild(T, T, -1), OK);
    EXPECT_EQ(test_alloc::freed, "KHDEIFJGC");
    EXPECT_EQ(Describe(T), "AB###");
}

TEST_F(Graft, InsertMovesDisplacedSubtreeRight) {
    BiTree X = Build("X##");
    BiTree C = T->rchild;
    EXPECT_EQ(InsertChild(T, C, 0, X), OK);
    EXPECT_EQ(Describe(T), "ABDH#K###E##CX#FI###G#J##");
    EXPECT_EQ(Value(T, 6), 'X');
    EXPECT_EQ(Value(T, 13), 'F');
    EXPECT_EQ(Value(T, 26), 'I');
    BiTree Y = Build("Y##");
    EXPECT_EQ(InsertChild(T, C, 5, Y), OK);
    EXPECT_EQ(Value(T, 7), 'Y');
    EXPECT_EQ(Value(T, 15), 'G');
    EXPECT_EQ(Value(T, 31), 'J');
    BiTree Z = Build("Z##");
    BiTree E = T->lchild->rchild;
    EXPECT_EQ(InsertChild(T, E, 1, Z), OK);
    EXPECT_EQ(Z->rchild, nullptr) << "an empty side leaves the right subtree empty";
}

TEST_F(Graft, RefusalsChangeNothing) {
    BiTree W = Build("WV##U##");
    std::string before = Describe(T);
    EXPECT_EQ(InsertChild(T, T->lchild, 0, W), ERROR) << "W has a right subtree";
    EXPECT_EQ(InsertChild(T, nullptr, 0, W), ERROR);
    EXPECT_EQ(InsertChild(T, T->lchild, 0, nullptr), ERROR);
    EXPECT_EQ(DeleteChild(T, nullptr, 1), ERROR);
    EXPECT_EQ(Describe(T), before);
    EXPECT_EQ(Describe(W), "WV##U##");
    DestroyBiTree(W);
}

// The menu's graft: T's right subtree cut, a copy made without its right
// subtree (six nodes, no more) grafted under the root's left child.
TEST_F(Graft, MenuGraftMakesOnlyGraftedNodes) {
    struct Case {
        int LR;
        const char *after;
    };
    const Case cases[] = {{0, "ABABDH#K###E##DH#K###E###"}, {1, "ABDH#K###ABDH#K###E##E###"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.LR ? "right" : "left");
        DestroyBiTree(T);
        T = Build(BUILTIN_DESCRIPTION);
        BiTree P = nullptr;
        bitree::index = 0;
        ASSERT_EQ(CreateBiTreeWithoutRight(P), OK);
        EXPECT_EQ(test_alloc::live, 17);
        test_alloc::freed.clear();
        DeleteChild(T, T, 1);
        EXPECT_EQ(test_alloc::freed, "IFJGC");
        EXPECT_EQ(InsertChild(T, T->lchild, c.LR, P), OK);
        EXPECT_EQ(Describe(T), c.after);
        EXPECT_EQ(test_alloc::live, 12);
    }
}

TEST_F(Graft, CutOfMillionLevelsOnSmallStack) {
    BiTree deep = Chain(1000000, true, 'c');
    BiTree leaf = T->lchild->rchild; // E
    EXPECT_EQ(InsertChild(T, leaf, 1, deep), OK);
    test_alloc::freed.clear();
    RunWithStack(1 << 20, [&] {
        EXPECT_EQ(BiTreeDepth(T), 1000003);
        EXPECT_EQ(DeleteChild(T, leaf, 1), OK);
    });
    EXPECT_EQ(test_alloc::freed.size(), 1000000u);
    EXPECT_EQ(Describe(T), BUILTIN_DESCRIPTION);
}

} // namespace
