// Lifecycle and inspection of whole trees: the three states, building from
// the preorder description, free order, and refused memory.
#include <cstring>
#include <gtest/gtest.h>

#include "Bitree.h"
#include "test_support.h"

namespace {

class BiTreeTest : public testing::Test {
  protected:
    void SetUp() override { test_alloc::Reset(); }
    void TearDown() override { EXPECT_EQ(test_alloc::live, 0) << "nodes leaked"; }
};

TEST_F(BiTreeTest, BuiltinDescriptionBuildsElevenNodes) {
    BiTree T = Build(BUILTIN_DESCRIPTION);
    EXPECT_EQ(bitree::index, 23);
    EXPECT_EQ(test_alloc::live, 11);
    EXPECT_EQ(Describe(T), BUILTIN_DESCRIPTION);
    EXPECT_EQ(BiTreeDepth(T), 5);
    EXPECT_EQ(Root(T), 'A');
    EXPECT_EQ(BiTreeEmpty(T), FALSE);
    DestroyBiTree(T);
}

TEST_F(BiTreeTest, DestroyFreesInPostorderAndNullsTree) {
    BiTree T = Build(BUILTIN_DESCRIPTION);
    EXPECT_EQ(DestroyBiTree(T), OK);
    EXPECT_EQ(test_alloc::freed, "KHDEBIFJGCA");
    EXPECT_EQ(T, nullptr);
    EXPECT_EQ(DestroyBiTree(T), OK);
    EXPECT_EQ(test_alloc::freed.size(), 11u) << "a second destroy frees nothing";
    EXPECT_EQ(BiTreeEmpty(T), INFEASIBLE);
    EXPECT_EQ(BiTreeDepth(T), 0);
}

TEST_F(BiTreeTest, EmptyTreeFromInitAndClear) {
    BiTree T = nullptr;
    ASSERT_EQ(InitBiTree(T), OK);
    EXPECT_EQ(T->data, '#');
    EXPECT_EQ(T->lchild, nullptr);
    EXPECT_EQ(T->rchild, nullptr);
    EXPECT_EQ(BiTreeEmpty(T), TRUE);
    EXPECT_EQ(BiTreeDepth(T), 1);
    TElemType root = 'x';
    EXPECT_EQ(Output([&] { root = Root(T); }), Gbk("T为空\n"));
    EXPECT_EQ(root, '\0');
    DestroyBiTree(T);

    T = Build(BUILTIN_DESCRIPTION);
    EXPECT_EQ(ClearBiTree(T), OK);
    EXPECT_EQ(test_alloc::live, 1);
    EXPECT_EQ(BiTreeEmpty(T), TRUE);
    DestroyBiTree(T);
    EXPECT_EQ(ClearBiTree(T), OK) << "clear works from no tree";
    EXPECT_EQ(BiTreeEmpty(T), TRUE);
    DestroyBiTree(T);
}

TEST_F(BiTreeTest, InitWithoutMemoryLeavesTreeAlone) {
    BiTree T = Build("AB###");
    BiTree before = T;
    test_alloc::fail_after = 0;
    EXPECT_EQ(InitBiTree(T), ERROR);
    EXPECT_EQ(T, before);
    test_alloc::fail_after = -1;
    DestroyBiTree(T);
}

// Whichever node is refused, a build fails, frees every node it made and
// leaves T as it was; with enough memory it makes exactly its nodes.
TEST_F(BiTreeTest, BuildWithoutMemoryFreesWhatItMade) {
    struct Maker {
        Status (*make)(BiTree &);
        long nodes;
        const char *made;
    };
    const Maker makers[] = {{CreateBiTree, 11, BUILTIN_DESCRIPTION},
                            {CreateBiTreeWithoutRight, 6, "ABDH#K###E###"}};
    for (const Maker &m : makers) {
        SCOPED_TRACE(m.made);
        for (long k = 0; k <= m.nodes; k++) {
            BiTree old = Build("Z##");
            BiTree T = old;
            memcpy(bitree::str, BUILTIN_DESCRIPTION, sizeof BUILTIN_DESCRIPTION);
            bitree::index = 0;
            test_alloc::fail_after = k;
            Status result = m.make(T);
            test_alloc::fail_after = -1;
            if (k < m.nodes) {
                EXPECT_EQ(result, ERROR) << m.made << " refused at node " << k;
                EXPECT_EQ(T, old);
                EXPECT_EQ(test_alloc::live, 1);
            } else {
                EXPECT_EQ(result, OK);
                EXPECT_EQ(Describe(T), m.made);
                EXPECT_EQ(test_alloc::live, 1 + m.nodes);
                EXPECT_EQ(bitree::index, 23) << "the whole description is read";
                DestroyBiTree(T);
            }
            DestroyBiTree(old);
        }
    }
}

TEST_F(BiTreeTest, HashDescriptionGivesNoTree) {
    BiTree T = Build("#");
    EXPECT_EQ(T, nullptr);
    EXPECT_EQ(bitree::index, 1);
}

TEST_F(BiTreeTest, RootOfNoTreeSaysSo) {
    TElemType root = 'x';
    EXPECT_EQ(Output([&] { root = Root(nullptr); }), Gbk("T不存在\n"));
    EXPECT_EQ(root, '\0');
}

TEST_F(BiTreeTest, RootDataHashCountsAsEmptyButKeepsLevels) {
    BiTree T = Build(BUILTIN_DESCRIPTION);
    T->data = '#';
    EXPECT_EQ(BiTreeEmpty(T), TRUE);
    EXPECT_EQ(BiTreeDepth(T), 5);
    EXPECT_EQ(Output([&] { Root(T); }), Gbk("T为空\n"));
    DestroyBiTree(T);
}

TEST_F(BiTreeTest, UnfinishedDescriptionStopsAtEndOfBuffer) {
    // 99 letters and no '#': the build must stop at the end of the buffer.
    std::string letters(99, 'q');
    BiTree T = Build(letters.c_str());
    EXPECT_GE(BiTreeDepth(T), 99);
    DestroyBiTree(T);
    // The same when the unfinished part is the right subtree that is skipped.
    memset(bitree::str, 0, sizeof bitree::str);
    memcpy(bitree::str, "A#", 2);
    memset(bitree::str + 2, 'q', 97);
    bitree::index = 0;
    ASSERT_EQ(CreateBiTreeWithoutRight(T), OK);
    EXPECT_EQ(Describe(T), "A##");
    EXPECT_GT(bitree::index, 100);
    DestroyBiTree(T);
}

TEST_F(BiTreeTest, DepthOfLopsidedShapes) {
    BiTree T = Build("AB#C#D##E##");
    EXPECT_EQ(BiTreeDepth(T), 4);
    DestroyBiTree(T);
    T = Build("A#B#C#D##");
    EXPECT_EQ(BiTreeDepth(T), 4);
    DestroyBiTree(T);
    T = Build("AB##CDE###F##");
    EXPECT_EQ(BiTreeDepth(T), 4);
    test_alloc::freed.clear();
    DestroyBiTree(T);
    EXPECT_EQ(test_alloc::freed, "BEDFCA");
}

} // namespace
