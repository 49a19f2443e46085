// Trees far deeper than any call stack: a chain of 1,000,000 levels is
// built, measured, walked and freed on a 1 MiB stack, as Windows gives.
#include <gtest/gtest.h>

#include "Bitree.h"
#include "test_support.h"

namespace {

const long kLevels = 1000000;
const size_t kStack = 1 << 20;

TEST(DeepTree, MillionLevelChainsOnSmallStack) {
    for (bool left : {true, false}) {
        test_alloc::Reset();
        RunWithStack(kStack, [&] {
            BiTree T = Chain(kLevels, left);
            EXPECT_EQ(BiTreeDepth(T), kLevels);
            std::string pre = Output([&] { PreOrderTraverse(T); });
            std::string in = Output([&] { InOrderTraverse(T); });
            std::string post = Output([&] { PostOrderTraverse(T); });
            EXPECT_EQ(pre.size(), 2u * kLevels);
            EXPECT_EQ(in, pre);
            EXPECT_EQ(post, pre);
            DestroyBiTree(T);
            EXPECT_EQ(T, nullptr);
        });
        EXPECT_EQ(test_alloc::live, 0);
        EXPECT_EQ(test_alloc::freed.size(), (size_t)kLevels);
    }
}

TEST(DeepTree, DestroyOfDeepZigZagKeepsPostorder) {
    test_alloc::Reset();
    // A zig-zag of 200,000 levels labelled by depth; postorder frees the
    // deepest first, so the free order is the labels reversed.
    const long n = 200000;
    BiTree root = nullptr, *link = &root;
    std::string labels;
    for (long i = 0; i < n; i++) {
        BiTree node = Chain(1, true, (char)('a' + i % 26));
        labels += node->data;
        *link = node;
        link = (i % 2) ? &node->lchild : &node->rchild;
    }
    RunWithStack(kStack, [&] { DestroyBiTree(root); });
    EXPECT_EQ(test_alloc::freed, std::string(labels.rbegin(), labels.rend()));
    EXPECT_EQ(test_alloc::live, 0);
}

} // namespace
