// Walks by node position: absent slots, present parents of absent slots,
// 0, 1, negatives and the ends of the int range, and the missing root.
#include <climits>
#include <gtest/gtest.h>

#include "Bitree.h"
#include "test_support.h"

namespace {

std::string NotFound(long long n) {
    return Gbk(("该二叉树不存在第" + std::to_string(n) + "个元素\n").c_str());
}

class Positions : public testing::Test {
  protected:
    void SetUp() override { T = Build(BUILTIN_DESCRIPTION); }
    void TearDown() override { DestroyBiTree(T); }
    BiTree T = nullptr;
};

TEST_F(Positions, ValueAtEveryPresentSlotAndNoOther) {
    const std::string present = "1A 2B 3C 4D 5E 6F 7G 8H 12I 15J 17K";
    for (int e = 1; e < 64; e++) {
        std::string tag = " " + std::to_string(e);
        size_t at = (" " + present).find(tag);
        bool here =
            at != std::string::npos && !isdigit((unsigned char)(" " + present)[at + tag.size()]);
        TElemType v = 0;
        std::string out = Output([&] { v = Value(T, e); });
        if (here) {
            EXPECT_EQ(out, "") << e;
            EXPECT_EQ(v, (" " + present)[at + tag.size()]) << e;
        } else {
            EXPECT_EQ(out, NotFound(e)) << e;
            EXPECT_EQ(v, '#') << e;
        }
    }
}

TEST_F(Positions, ZeroNegativesAndIntRange) {
    EXPECT_EQ(Value(T, 0), 'A');
    EXPECT_EQ(Value(T, -1), 'A');
    EXPECT_EQ(Value(T, -5), 'D');
    EXPECT_EQ(Value(T, -8), 'H'); // three left steps
    EXPECT_EQ(Output([&] { Value(T, -16); }), NotFound(-16));
    EXPECT_EQ(Output([&] { Value(T, INT_MAX); }), NotFound(INT_MAX));
    EXPECT_EQ(Output([&] { Value(T, INT_MIN); }), NotFound(INT_MIN));
    EXPECT_EQ(Output([&] { Value(T, 1048575); }), NotFound(1048575));
}

TEST_F(Positions, WalkReachesAnyDepth) {
    // A chain of 40 right children: position 2^31 - 1 is 31 levels down.
    BiTree R = Chain(40, false, 'r');
    R->data = 'a';
    BiTree deep = R;
    for (int i = 0; i < 30; i++)
        deep = deep->rchild;
    deep->data = 'z';
    EXPECT_EQ(Value(R, INT_MAX), 'z');
    int e = INT_MAX;
    EXPECT_EQ(Assign(R, e, 'y'), OK);
    EXPECT_EQ(deep->data, 'y');
    EXPECT_EQ(Output([&] { Value(R, INT_MAX - 1); }), NotFound(INT_MAX - 1));
    DestroyBiTree(R);
}

TEST_F(Positions, AssignStoresOrLeavesTreeAlone) {
    int e = 5;
    EXPECT_EQ(Assign(T, e, 'X'), OK);
    EXPECT_EQ(Value(T, 5), 'X');
    e = 10;
    Status r = OK;
    EXPECT_EQ(Output([&] { r = Assign(T, e, 'Y'); }), NotFound(10));
    EXPECT_EQ(r, OVERFLOW);
    EXPECT_EQ(Describe(T), "ABDH#K###X##CFI###G#J##");
}

TEST_F(Positions, ParentLooksOnlyAtTheParentSlot) {
    EXPECT_EQ(Output([&] { EXPECT_EQ(Parent(T, 1), nullptr); }), "");
    EXPECT_EQ(Parent(T, 17)->data, 'H');
    EXPECT_EQ(Parent(T, 9)->data, 'D') << "9 is absent but its parent is there";
    EXPECT_EQ(Parent(T, 0)->data, 'A');
    EXPECT_EQ(Parent(T, -3)->data, 'A');
    EXPECT_EQ(Output([&] { EXPECT_EQ(Parent(T, 18), nullptr); }), NotFound(9));
}

TEST_F(Positions, ChildrenAndSiblings) {
    EXPECT_EQ(LeftChild(T, 4)->data, 'H');
    EXPECT_EQ(Output([&] { EXPECT_EQ(LeftChild(T, 5), nullptr); }), "");
    EXPECT_EQ(Output([&] { EXPECT_EQ(LeftChild(T, 9), nullptr); }), NotFound(9));
    EXPECT_EQ(RightChild(T, 8)->data, 'K');
    EXPECT_EQ(RightChild(T, 6), nullptr);
    EXPECT_EQ(LeftSibling(T, 3)->data, 'B');
    EXPECT_EQ(Output([&] { EXPECT_EQ(LeftSibling(T, 2), nullptr); }), "");
    EXPECT_EQ(LeftSibling(T, 9)->data, 'H');
    EXPECT_EQ(Output([&] { EXPECT_EQ(LeftSibling(T, 19), nullptr); }), NotFound(9));
    EXPECT_EQ(RightSibling(T, 2)->data, 'C');
    EXPECT_EQ(RightSibling(T, 16)->data, 'K');
    EXPECT_EQ(Output([&] { EXPECT_EQ(RightSibling(T, 3), nullptr); }), "");
    EXPECT_EQ(RightSibling(T, 0)->data, 'C');
    EXPECT_EQ(RightSibling(T, -1)->data, 'C') << "-1 leaves remainder -1, not 1";
    EXPECT_EQ(LeftSibling(T, -1)->data, 'B');
}

TEST(PositionsWithoutTree, EveryWalkFailsWithItsLine) {
    EXPECT_EQ(Output([] { EXPECT_EQ(Value(nullptr, 1), '#'); }), NotFound(1));
    EXPECT_EQ(Output([] { EXPECT_EQ(Value(nullptr, 0), '#'); }), NotFound(0));
    int e = 1;
    EXPECT_EQ(Output([&] { EXPECT_EQ(Assign(nullptr, e, 'q'), OVERFLOW); }), NotFound(1));
    EXPECT_EQ(Output([] { EXPECT_EQ(Parent(nullptr, 1), nullptr); }), "");
    EXPECT_EQ(Output([] { EXPECT_EQ(Parent(nullptr, 3), nullptr); }), NotFound(1));
    EXPECT_EQ(Output([] { EXPECT_EQ(RightChild(nullptr, 2), nullptr); }), NotFound(2));
    EXPECT_EQ(Output([] { EXPECT_EQ(LeftSibling(nullptr, 4), nullptr); }), "");
    EXPECT_EQ(Output([] { EXPECT_EQ(RightSibling(nullptr, 5), nullptr); }), "");
    EXPECT_EQ(Output([] { EXPECT_EQ(RightSibling(nullptr, 4), nullptr); }), NotFound(2));
}

} // namespace
