// The --draw picture of the queue's storage, wrapped and full included.
#include <cstdlib>
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
        {0, 6, -2, // columns as wide as the widest value
         "Queue Q: front 0, rear 6, length 6; slot:value from front:\n"
         " 0:-2  1:-1  2:0   3:1   4:2   5:3\n"},
        {97, 4, 10, // wraps
         "Queue Q: front 97, rear 1, length 4; slot:value from front:\n"
         "97:10 98:11 99:12\n"
         "  (wraps from slot 99 to slot 0)\n"
         " 0:13\n"},
        {98, 2, 10, // ends in the last slot: rear wraps, no element does
         "Queue Q: front 98, rear 0, length 2; slot:value from front:\n"
         "98:10 99:11\n"},
        {10, 14, 0, // 13 cells of 5 columns and a blank fit in 79 columns
         "Queue Q: front 10, rear 24, length 14; slot:value from front:\n"
         "10:0  11:1  12:2  13:3  14:4  15:5  16:6  17:7  18:8  19:9  20:10 21:11 22:12\n"
         "23:13\n"},
    };
    for (const Case &c : cases) {
        SqQueue Q = Make(c.front, c.n, c.first);
        EXPECT_EQ(Draw(Q), c.picture) << c.front << " " << c.n;
        DestroyQueue(Q);
    }
}

// A full queue, wrapped at every place, on the 11 lines that an 80 x 24
// screen leaves above queue_menu's menu (and on a screen with room): the
// lines and columns are kept, every element is shown or counted, and the
// head, the last element and both sides of the wrap stay in view.
TEST(DrawQueue, FullQueueFitsTheScreen) {
    struct Case {
        int value, width, height;
        bool all_shown;
    } cases[] = {
        {-2147483647 - 1, 80, 11, false}, // the widest values cannot all be shown
        {98, 80, 11, true},               // two-digit values all are
        {-2147483647 - 1, 120, 60, true},
        {-2147483647 - 1, 80, 4, false}, // a line for each end and the count
    };
    for (const Case &c : cases) {
        SCOPED_TRACE("row " + std::to_string(&c - cases) + ": " + std::to_string(c.width) + " x " +
                     std::to_string(c.height));
        for (int front = 0; front < MAXQSIZE; front++) {
            SqQueue Q = Make(front, MAXQSIZE - 1, 0);
            for (int i = 0; i < MAXQSIZE; i++)
                Q.base[i] = c.value;
            std::istringstream in(Capture([&] { DrawQueue(Q, c.width, c.height); }).out);
            int lines = 0, shown = 0, more = 0, m;
            std::vector<bool> seen(MAXQSIZE);
            for (std::string line; std::getline(in, line); lines++) {
                ASSERT_LT(line.size(), (size_t)c.width) << line;
                if (lines > 0 && sscanf(line.c_str(), "... %d more", &m) == 1) {
                    more += m;
                    continue;
                }
                for (size_t at = line.find(':'); lines > 0 && at != std::string::npos;
                     at = line.find(':', at + 1)) {
                    shown++;
                    seen[atoi(line.c_str() + (at < 2 ? 0 : at - 2))] = true;
                }
            }
            EXPECT_LE(lines, c.height) << front;
            EXPECT_EQ(shown + more, MAXQSIZE - 1) << front;
            EXPECT_EQ(more == 0, c.all_shown) << front;
            int rear = Q.rear;
            DestroyQueue(Q);
            if (c.height < 5) continue;
            EXPECT_TRUE(seen[front] && seen[(rear + MAXQSIZE - 1) % MAXQSIZE]) << front;
            if (front > rear && rear > 0) {
                EXPECT_TRUE(seen[0] && seen[MAXQSIZE - 1]) << front;
            }
        }
    }
}

} // namespace
