// The circular queue: capacity 99 of 100 slots, wrap-around, the exact result
// numbers of each state, and refusals that leave everything alone.
#include <climits>
#include <cstring>
#include <gtest/gtest.h>

#include "SqQueue.h"
#include "capture.h"

namespace {

// A new queue holding 1, 2, ..., n.
SqQueue Filled(int n) {
    SqQueue Q = {nullptr, 0, 0};
    InitQueue(Q);
    for (int i = 1; i <= n; i++)
        EnQueue(Q, i);
    return Q;
}

TEST(Capacity, FullAtNinetyNineAndHundredthRefused) {
    SqQueue Q = Filled(98);
    EXPECT_EQ(EnQueue(Q, 99), OK);
    EXPECT_EQ(QueueLength(Q), 99);
    EXPECT_EQ(Q.rear, 99);
    Q.base[99] = 12345;
    EXPECT_EQ(EnQueue(Q, 100), ERROR);
    EXPECT_EQ(Q.rear, 99) << "nothing stored";
    EXPECT_EQ(Q.base[99], 12345);
    EXPECT_EQ(QueueLength(Q), 99);
    DestroyQueue(Q);
}

TEST(Capacity, WrapsPastSlotNinetyNineInArrivalOrder) {
    SqQueue Q = Filled(99);
    int e = 0;
    EXPECT_EQ(DeQueue(Q, e), OK);
    EXPECT_EQ(e, 1);
    EXPECT_EQ(EnQueue(Q, 100), OK);
    EXPECT_EQ(Q.base[99], 100);
    EXPECT_EQ(Q.rear, 0);
    EXPECT_EQ(EnQueue(Q, 101), ERROR) << "full again across the wrap";
    EXPECT_EQ(QueueLength(Q), 99);
    std::string want = "\n-----------all elements -----------------------\n";
    for (int i = 2; i <= 100; i++)
        want += std::to_string(i) + "\t";
    want += "\n------------------ end ------------------------\n";
    EXPECT_EQ(Output([&] { QueueTravserse(Q); }), want);
    for (int i = 2; i <= 100; i++) {
        ASSERT_EQ(DeQueue(Q, e), OK);
        ASSERT_EQ(e, i);
    }
    EXPECT_EQ(QueueEmpty(Q), TRUE);
    DestroyQueue(Q);
}

TEST(Capacity, IndicesChaseEachOtherRoundTheBlock) {
    SqQueue Q = Filled(0);
    int e;
    for (int i = 0; i < 150; i++) {
        ASSERT_EQ(EnQueue(Q, i), OK);
        ASSERT_EQ(DeQueue(Q, e), OK);
        ASSERT_EQ(e, i);
    }
    EXPECT_EQ(Q.front, 50);
    EXPECT_EQ(Q.rear, 50);
    EXPECT_EQ(QueueLength(Q), 0);
    DestroyQueue(Q);
}

TEST(Results, NoQueueGivesMinusOneAndTouchesNothing) {
    SqQueue Q = Filled(3);
    EXPECT_EQ(DestroyQueue(Q), OK);
    EXPECT_EQ(Q.base, nullptr);
    int e = 77;
    EXPECT_EQ(DestroyQueue(Q), -1);
    EXPECT_EQ(ClearQueue(Q), -1);
    EXPECT_EQ(QueueEmpty(Q), -1);
    EXPECT_EQ(QueueLength(Q), -1);
    EXPECT_EQ(GetHead(Q, e), -1);
    EXPECT_EQ(EnQueue(Q, 5), -1);
    EXPECT_EQ(DeQueue(Q, e), -1);
    EXPECT_EQ(Output([&] { EXPECT_EQ(QueueTravserse(Q), -1); }), "");
    EXPECT_EQ(e, 77);
    EXPECT_EQ(Q.base, nullptr);
}

TEST(Results, EmptyQueueDeQueueZeroGetHeadAndTraverseMinusTwo) {
    SqQueue Q = Filled(0);
    int e = 77;
    EXPECT_EQ(QueueEmpty(Q), 1);
    EXPECT_EQ(QueueLength(Q), 0);
    EXPECT_EQ(DeQueue(Q, e), 0);
    EXPECT_EQ(GetHead(Q, e), -2);
    EXPECT_EQ(Output([&] { EXPECT_EQ(QueueTravserse(Q), -2); }), "");
    EXPECT_EQ(e, 77);
    EXPECT_EQ(Q.front, 0);
    EnQueue(Q, 4);
    EXPECT_EQ(QueueEmpty(Q), 0);
    DestroyQueue(Q);
}

TEST(Lifecycle, ClearZeroesEverySlotAndKeepsTheBlock) {
    SqQueue Q = Filled(99);
    int e;
    DeQueue(Q, e);
    EnQueue(Q, 100); // uses slot 99 too
    int *block = Q.base;
    EXPECT_EQ(ClearQueue(Q), OK);
    EXPECT_EQ(Q.base, block);
    EXPECT_EQ(Q.front, 0);
    EXPECT_EQ(Q.rear, 0);
    for (int i = 0; i < MAXQSIZE; i++)
        ASSERT_EQ(Q.base[i], 0) << "slot " << i;
    EXPECT_EQ(QueueEmpty(Q), TRUE);
    EnQueue(Q, 9);
    EXPECT_EQ(Q.base[0], 9);
    DestroyQueue(Q);
}

// The old block must be freed: the sanitizer build and valgrind report it
// otherwise.
TEST(Lifecycle, InitOnExistingQueueGivesNewEmptyQueue) {
    SqQueue Q = Filled(10);
    EXPECT_EQ(InitQueue(Q), OK);
    EXPECT_NE(Q.base, nullptr);
    EXPECT_EQ(QueueLength(Q), 0);
    EXPECT_EQ(Q.front, 0);
    EXPECT_EQ(Q.rear, 0);
    DestroyQueue(Q);
}

TEST(Traverse, PrintsSignedValuesHeadFirst) {
    SqQueue Q = Filled(0);
    EnQueue(Q, 5);
    EnQueue(Q, -7);
    EnQueue(Q, INT_MIN);
    EnQueue(Q, INT_MAX);
    EXPECT_EQ(Output([&] { EXPECT_EQ(QueueTravserse(Q), OK); }),
              "\n-----------all elements -----------------------\n"
              "5\t-7\t-2147483648\t2147483647\t\n"
              "------------------ end ------------------------\n");
    DestroyQueue(Q);
}

} // namespace
