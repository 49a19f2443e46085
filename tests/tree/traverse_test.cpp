// The three stack-based depth-first orders on the shapes that trip up
// iterative walks: chains either way, lone nodes, and the built-in tree.
#include <gtest/gtest.h>

#include "Bitree.h"
#include "test_support.h"

namespace {

struct Orders {
    std::string pre, in, post;
};

Orders Walk(BiTree T) {
    return {Output([&] { PreOrderTraverse(T); }), Output([&] { InOrderTraverse(T); }),
            Output([&] { PostOrderTraverse(T); })};
}

TEST(Traverse, BuiltinTree) {
    BiTree T = Build(BUILTIN_DESCRIPTION);
    Orders o = Walk(T);
    EXPECT_EQ(o.pre, "A B D H K E C F I G J ");
    EXPECT_EQ(o.in, "H K D B E A I F C G J ");
    EXPECT_EQ(o.post, "K H D E B I F J G C A ");
    DestroyBiTree(T);
}

TEST(Traverse, NoTreeAndEmptyTree) {
    Orders none = Walk(nullptr);
    EXPECT_EQ(none.pre + none.in + none.post, "");
    BiTree T = nullptr;
    InitBiTree(T);
    Orders o = Walk(T);
    EXPECT_EQ(o.pre, "# ");
    EXPECT_EQ(o.in, "# ");
    EXPECT_EQ(o.post, "# ");
    DestroyBiTree(T);
}

TEST(Traverse, Chains) {
    BiTree L = Build("XYZ####");
    Orders o = Walk(L);
    EXPECT_EQ(o.pre, "X Y Z ");
    EXPECT_EQ(o.in, "Z Y X ");
    EXPECT_EQ(o.post, "Z Y X ");
    DestroyBiTree(L);
    BiTree R = Build("X#Y#Z##");
    o = Walk(R);
    EXPECT_EQ(o.pre, "X Y Z ");
    EXPECT_EQ(o.in, "X Y Z ");
    EXPECT_EQ(o.post, "Z Y X ");
    DestroyBiTree(R);
}

TEST(Traverse, ZigZagAndFullTree) {
    BiTree T = Build("AB#CD#E####");
    Orders o = Walk(T);
    EXPECT_EQ(o.pre, "A B C D E ");
    EXPECT_EQ(o.in, "B D E C A ");
    EXPECT_EQ(o.post, "E D C B A ");
    DestroyBiTree(T);
    T = Build("ABD##E##CF##G##");
    o = Walk(T);
    EXPECT_EQ(o.pre, "A B D E C F G ");
    EXPECT_EQ(o.in, "D B E A F C G ");
    EXPECT_EQ(o.post, "D E B F G C A ");
    DestroyBiTree(T);
}

// Each postorder walk makes its own stack and flags: walks of a shallow, a
// deep and again a shallow tree must not see each other's state.
TEST(Traverse, PostorderAfterDeeperAndShallowerWalks) {
    BiTree deep = Chain(300, false, 'd');
    BiTree T = Build(BUILTIN_DESCRIPTION);
    const std::string builtin = "K H D E B I F J G C A ";
    std::string chain;
    for (int i = 0; i < 300; i++)
        chain += "d ";
    for (int round = 0; round < 2; round++) {
        EXPECT_EQ(Output([&] { PostOrderTraverse(T); }), builtin);
        EXPECT_EQ(Output([&] { PostOrderTraverse(deep); }), chain);
        EXPECT_EQ(Output([&] { PostOrderTraverse(nullptr); }), "");
    }
    DestroyBiTree(T);
    DestroyBiTree(deep);
}

TEST(Traverse, MoreThanHundredLevels) {
    // 150 levels: the stack grows past its first 100 slots, and the
    // postorder flags past any fixed 100 entries.
    BiTree T = Chain(149, true, 'a');
    T->rchild = Chain(1, false, 'b'); // a right turn at the top ...
    BiTree deep = T;
    while (deep->lchild)
        deep = deep->lchild;
    deep->rchild = Chain(1, false, 'c'); // ... and at the bottom
    std::string chain(148, 'a');
    auto spaced = [](const std::string &s) {
        std::string out;
        for (char c : s)
            out += std::string(1, c) + " ";
        return out;
    };
    Orders o = Walk(T);
    EXPECT_EQ(o.pre, spaced("a" + chain + "cb"));
    EXPECT_EQ(o.in, spaced("ac" + chain + "b"));
    EXPECT_EQ(o.post, spaced("c" + chain + "ba"));
    EXPECT_EQ(BiTreeDepth(T), 150);
    DestroyBiTree(T);
}

} // namespace
