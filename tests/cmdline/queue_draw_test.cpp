// The --draw picture of the queue's storage, wrapped and full included.
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "SqQueue.h"
#include "capture.h"
#include "queue_draw.h"

namespace {

std::string Draw(const SqQueue &Q) {
    return Capture([&] { DrawQueue(Q); }).out;
}

// A queue whose head is in slot front, holding the values first, first + 1,
// ... (n of them).
SqQueue Make(int front, int n, int first) {
    SqQueue Q = {nullptr, 0, 0};
    InitQueue(Q);
    Q.front = Q.rear = front;
    for (int i = 0; i < n; i++)
        EnQueue(Q, first + i);
    return Q;
}

TEST(DrawQueue, States) {
    SqQueue none = {nullptr, 0, 0};
    EXPECT_EQ(Draw(none), "Queue Q: none (option 1 creates it)\n");
    struct Case {
        int front, n, first;
        const char *picture;
    } cases[] = {
        {7, 0, 0, "Queue Q: front 7, rear 7, length 0 (empty)\n"},
        {0, 6, -2,
         "Queue Q: front 0, rear 6, length 6; slot:value from front:\n"
         " 0:-2           1:-1           2:0            3:1            4:2\n"
         " 5:3\n"},
        {97, 4, 10, // wraps
         "Queue Q: front 97, rear 1, length 4; slot:value from front:\n"
         "97:10          98:11          99:12\n"
         "  (wraps from slot 99 to slot 0)\n"
         " 0:13\n"},
        {98, 2, 10, // ends in the last slot: rear wraps, no element does
         "Queue Q: front 98, rear 0, length 2; slot:value from front:\n"
         "98:10          99:11\n"},
    };
    for (const Case &c : cases) {
        SqQueue Q = Make(c.front, c.n, c.first);
        EXPECT_EQ(Draw(Q), c.picture) << c.front << " " << c.n;
        DestroyQueue(Q);
    }
}

// 99 of the widest values, wrapped at every place: always 80 x 24.
TEST(DrawQueue, FullQueueFitsTheScreen) {
    for (int front = 0; front < MAXQSIZE; front++) {
        SqQueue Q = Make(front, MAXQSIZE - 1, 0);
        for (int i = 0; i < MAXQSIZE; i++)
            Q.base[i] = -2147483647 - 1;
        std::istringstream in(Draw(Q));
        int lines = 0;
        for (std::string line; std::getline(in, line); lines++)
            ASSERT_LT(line.size(), 80u) << line;
        EXPECT_LE(lines, 24) << front;
        DestroyQueue(Q);
    }
}

} // namespace
