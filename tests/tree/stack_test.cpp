// The node-pointer stack: growth by fixed steps, LIFO order across growth,
// and the empty-stack refusals that leave the caller's element alone.
#include <gtest/gtest.h>

#include "stack.h"
#include "test_support.h"

namespace {

BiTNode nodes[250];

TEST(Stack, GrowsByTenAndKeepsOrder) {
    SqStack S;
    InitStack(S);
    EXPECT_EQ(StackEmpty(S), TRUE);
    EXPECT_EQ(StackLength(S), 0);
    EXPECT_EQ(S.stacksize, STACK_INIT_SIZE);
    for (int i = 0; i < 250; i++) {
        Push(S, &nodes[i]);
        if (i == 100) {
            EXPECT_EQ(S.stacksize, 110) << "the 101st push grows the block";
        }
        if (i == 110) {
            EXPECT_EQ(S.stacksize, 120);
        }
    }
    EXPECT_EQ(S.stacksize, 250);
    EXPECT_EQ(StackLength(S), 250);
    BiTree e = nullptr;
    EXPECT_EQ(GetTop(S, e), OK);
    EXPECT_EQ(e, &nodes[249]);
    EXPECT_EQ(StackLength(S), 250) << "GetTop keeps the element";
    for (int i = 249; i >= 0; i--) {
        ASSERT_EQ(Pop(S, e), OK);
        ASSERT_EQ(e, &nodes[i]);
    }
    EXPECT_EQ(StackEmpty(S), TRUE);
    DestroyStack(S);
}

TEST(Stack, EmptyStackRefusesAndLeavesElement) {
    SqStack S;
    InitStack(S);
    BiTree e = &nodes[7];
    EXPECT_EQ(Pop(S, e), ERROR);
    EXPECT_EQ(GetTop(S, e), ERROR);
    EXPECT_EQ(e, &nodes[7]);
    EXPECT_EQ(StackLength(S), 0);
    DestroyStack(S);
}

TEST(Stack, ClearKeepsCapacityDestroyNullsPointers) {
    SqStack S;
    InitStack(S);
    for (int i = 0; i < 101; i++)
        Push(S, &nodes[i]);
    ClearStack(S);
    EXPECT_EQ(StackEmpty(S), TRUE);
    EXPECT_EQ(S.stacksize, 110);
    Push(S, &nodes[3]);
    EXPECT_EQ(S.base[0], &nodes[3]) << "pushes reuse the block from the bottom";
    DestroyStack(S);
    EXPECT_EQ(S.base, nullptr);
    EXPECT_EQ(S.top, nullptr);
}

TEST(Stack, TraversePrintsFullAddressesBottomFirst) {
    SqStack S;
    InitStack(S);
    EXPECT_EQ(Output([&] { StackTraverse(S); }), "");
    Push(S, &nodes[0]);
    Push(S, &nodes[1]);
    std::string want = std::to_string((long long)(intptr_t)&nodes[0]) + "\t" +
                       std::to_string((long long)(intptr_t)&nodes[1]) + "\t";
    EXPECT_EQ(Output([&] { StackTraverse(S); }), want);
    DestroyStack(S);
}

} // namespace
